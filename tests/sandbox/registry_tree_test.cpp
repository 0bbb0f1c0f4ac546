// The simulated registry's tree: names that ignore case, the NT deletion rules, listing order,
// error details and the limits that keep every name storable.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sandbox/registry_tree.h"

using namespace rvx;
using platform::RegValue;
using platform::RootKey;
using platform::Status;
using sandbox::RegistryTree;

namespace {

constexpr RootKey kLm = RootKey::local_machine;

std::string Path(size_t depth, const std::string& component = "k") {
    std::string path;
    for (size_t i = 0; i < depth; ++i) path += (i ? "\\" : "") + component;
    return path;
}

}  // namespace

TEST(RegistryTree, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    RegistryTree tree;
    tree.WriteValue(kLm, "Software\\Norvane\\Demo", "InstallDir", RegValue::Text("C:\\X"));
    tree.WriteValue(kLm, "SOFTWARE\\norvane\\DEMO", "INSTALLDIR", RegValue::Text("C:\\Y"));
    EXPECT_EQ(tree.ReadValue(kLm, "software\\NORVANE\\demo", "installdir").value().AsText(), "C:\\Y");
    EXPECT_EQ(tree.SubkeyNames(kLm, "software").value(), std::vector<std::string>{"Norvane"});
    EXPECT_EQ(tree.ValueNames(kLm, "Software\\Norvane\\Demo").value(), std::vector<std::string>{"InstallDir"});
    EXPECT_TRUE(tree.KeyExists(kLm, "\\Software\\\\Norvane\\"));  // empty components are ignored
    EXPECT_FALSE(tree.KeyExists(RootKey::current_user, "Software\\Norvane"));
    EXPECT_TRUE(tree.KeyExists(kLm, ""));  // the root itself

    // A deleted value written again takes the new spelling.
    ASSERT_TRUE(tree.DeleteValue(kLm, "Software\\Norvane\\Demo", "installdir"));
    tree.WriteValue(kLm, "Software\\Norvane\\Demo", "INSTALLDIR", RegValue::Text("C:\\Z"));
    EXPECT_EQ(tree.ValueNames(kLm, "Software\\Norvane\\Demo").value(), std::vector<std::string>{"INSTALLDIR"});
}

TEST(RegistryTree, MissingKeysAndValuesAreNamedInTheError) {
    RegistryTree tree;
    tree.WriteValue(kLm, "Software\\Norvane", "", RegValue::Text("default"));
    EXPECT_EQ(tree.ReadValue(kLm, "Software\\Norvane", "").value().AsText(), "default");

    auto missing_key = tree.ReadValue(kLm, "Software\\Missing", "v");
    EXPECT_EQ(missing_key.status(), Status::not_found);
    EXPECT_NE(missing_key.error().detail.find("HKEY_LOCAL_MACHINE\\Software\\Missing"), std::string::npos)
        << missing_key.error().detail;

    auto missing_value = tree.ReadValue(kLm, "Software\\Norvane", "Other");
    EXPECT_EQ(missing_value.status(), Status::not_found);
    EXPECT_NE(missing_value.error().detail.find("\"Other\""), std::string::npos) << missing_value.error().detail;
    EXPECT_NE(missing_value.error().detail.find("HKEY_LOCAL_MACHINE\\Software\\Norvane"), std::string::npos);

    EXPECT_EQ(tree.SubkeyNames(kLm, "Software\\Missing").status(), Status::not_found);
    EXPECT_EQ(tree.ValueNames(kLm, "Software\\Missing").status(), Status::not_found);
    EXPECT_EQ(tree.DeleteValue(kLm, "Software\\Missing", "v").status(), Status::not_found);
}

TEST(RegistryTree, DeletingKeysFollowsTheNtRules) {
    RegistryTree tree;
    tree.WriteValue(kLm, "A\\B\\C", "v", RegValue::Dword(1));
    EXPECT_EQ(tree.DeleteKey(kLm, "A\\B").status(), Status::not_empty);
    EXPECT_TRUE(tree.KeyExists(kLm, "A\\B\\C"));  // nothing went with the refusal
    EXPECT_TRUE(tree.DeleteKey(kLm, "a\\b\\c"));
    EXPECT_TRUE(tree.DeleteKey(kLm, "A\\B"));
    EXPECT_EQ(tree.DeleteKey(kLm, "A\\B").status(), Status::not_found);
    EXPECT_EQ(tree.DeleteKey(kLm, "").status(), Status::access_denied);
    EXPECT_EQ(tree.DeleteKey(kLm, "\\").status(), Status::access_denied);
    EXPECT_EQ(tree.DeleteValue(kLm, "A", "none").status(), Status::not_found);

    // A key with values but no subkeys goes, values and all.
    tree.WriteValue(kLm, "A\\Full", "v", RegValue::Dword(1));
    EXPECT_TRUE(tree.DeleteKey(kLm, "A\\Full"));
    EXPECT_FALSE(tree.KeyExists(kLm, "A\\Full"));

    tree.WriteValue(kLm, "A\\B\\C\\D", "v", RegValue::Dword(1));
    tree.DeleteTree(kLm, "a\\b");
    EXPECT_TRUE(tree.KeyExists(kLm, "A"));
    EXPECT_FALSE(tree.KeyExists(kLm, "A\\B"));
    tree.DeleteTree(kLm, "A\\Nothing\\Here");  // quietly nothing
    tree.DeleteTree(kLm, "");                  // a root stays
    EXPECT_TRUE(tree.KeyExists(kLm, "A"));
}

TEST(RegistryTree, ListsAreSortedIgnoringCase) {
    RegistryTree tree;
    for (const char* name : {"beta", "Alpha", "gamma", "ALPHA2", "_under"}) tree.CreateKey(kLm, std::string("K\\") + name);
    for (const char* name : {"zeta", "", "Eta", "eta2"}) tree.WriteValue(kLm, "K", name, RegValue::Dword(0));
    // Upper-cased comparison: "_" (0x5F) sorts after the letters, as it does in the registry editor.
    EXPECT_EQ(tree.SubkeyNames(kLm, "K").value(), (std::vector<std::string>{"Alpha", "ALPHA2", "beta", "gamma", "_under"}));
    EXPECT_EQ(tree.ValueNames(kLm, "K").value(), (std::vector<std::string>{"", "Eta", "eta2", "zeta"}));

    std::vector<std::string> visited;
    tree.ForEachKey([&](RootKey root, const std::string& path, const sandbox::RegistryKey&) {
        if (root == kLm) visited.push_back(path);
    });
    EXPECT_EQ(visited, (std::vector<std::string>{"", "K", "K\\Alpha", "K\\ALPHA2", "K\\beta", "K\\gamma", "K\\_under"}));
}

TEST(RegistryTree, EqualityNoticesSpellingValuesAndEmptyKeys) {
    // The fuzz target's round-trip check relies on equality seeing every difference.
    auto make = [] {
        RegistryTree tree;
        tree.WriteValue(kLm, "Software\\Norvane", "Name", RegValue::Text("x"));
        return tree;
    };
    RegistryTree base = make();
    EXPECT_TRUE(base == make());

    RegistryTree spelled = make();
    spelled.DeleteValue(kLm, "Software\\Norvane", "Name").ok();
    spelled.WriteValue(kLm, "Software\\Norvane", "NAME", RegValue::Text("x"));
    EXPECT_FALSE(base == spelled);

    RegistryTree retyped = make();
    retyped.WriteValue(kLm, "Software\\Norvane", "Name", RegValue::Text("x", platform::value_type::expand_string));
    EXPECT_FALSE(base == retyped);

    RegistryTree empty_key = make();
    empty_key.CreateKey(RootKey::users, "Empty");
    EXPECT_FALSE(base == empty_key);
}

TEST(RegistryTree, NamesBeyondWindowsLimitsOrWithLineBreaksAreReported) {
    EXPECT_FALSE(sandbox::KeyPathProblem(Path(sandbox::kMaxKeyDepth)));
    EXPECT_TRUE(sandbox::KeyPathProblem(Path(sandbox::kMaxKeyDepth + 1)));
    EXPECT_FALSE(sandbox::KeyPathProblem("\\\\" + Path(sandbox::kMaxKeyDepth) + "\\\\"));  // empty parts do not count
    EXPECT_FALSE(sandbox::KeyPathProblem("A\\" + std::string(sandbox::kMaxKeyNameLength, 'n')));
    EXPECT_TRUE(sandbox::KeyPathProblem("A\\" + std::string(sandbox::kMaxKeyNameLength + 1, 'n')));
    EXPECT_TRUE(sandbox::KeyPathProblem("A\\two\nlines"));
    EXPECT_FALSE(sandbox::KeyPathProblem("A\\odd ]\"[ name\r"));

    EXPECT_FALSE(sandbox::ValueNameProblem(""));
    EXPECT_FALSE(sandbox::ValueNameProblem(std::string(sandbox::kMaxValueNameLength, 'v')));
    EXPECT_TRUE(sandbox::ValueNameProblem(std::string(sandbox::kMaxValueNameLength + 1, 'v')));
    EXPECT_TRUE(sandbox::ValueNameProblem("two\nlines"));
}
