// Hostile and damaged logs on a machine with other products installed: whatever a log says,
// the replay removes nothing outside the product, never a registry root, a system key or the
// maker's key, never a file outside the product's folders, and never a folder of the system or
// the shell. Every refusal is kept with the record it refused.
#include <gtest/gtest.h>

#include "tests/uninstaller/uninstaller_fixture.h"

using namespace rvx;
using platform::RegValue;
using platform::RootKey;
using test_support::Uninstaller;

namespace {

struct Key {
    RootKey root;
    const char* key;
};
// Another product's keys, and keys of the system every product relies on.
constexpr Key kOtherKeys[] = {
    {RootKey::local_machine, "SOFTWARE\\Other"},
    {RootKey::local_machine, "Software\\Norvane\\Other"},
    {RootKey::current_user, "Software\\Norvane\\Other"},
    {RootKey::local_machine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other"},
    {RootKey::local_machine, "SYSTEM\\CurrentControlSet\\Services\\OtherSvc"},
    {RootKey::local_machine, "Software\\Classes\\.oth"},
};
const char* const kOtherFiles[] = {"C:\\Program Files\\Other\\other.exe", "C:\\important.txt", "C:\\WINDOWS\\win.ini",
                                   "C:\\Prog\\..\\Other.txt"};

std::string Programs(Uninstaller& run) { return run.platform.shell.SpecialFolderPath(platform::SpecialFolder::programs).value_or("?"); }

// The machine with other products, and this product's own file in C:\Prog.
void PutOthers(Uninstaller& run) {
    for (const auto& key : kOtherKeys) ASSERT_TRUE(run.platform.registry.WriteValue(key.root, key.key, "v", RegValue::Dword(1)));
    for (const char* file : kOtherFiles) run.Put(file);
    run.Put("C:\\Prog\\app.exe");
    for (const std::string& folder : {Programs(run) + "\\Other Group", Programs(run) + "\\Startup", std::string("C:\\WINDOWS\\Fonts")})
        (void)run.platform.files.MakeFolder(folder);
}

void ExpectOthersIntact(Uninstaller& run, const std::string& log) {
    for (const auto& key : kOtherKeys)
        EXPECT_TRUE(run.platform.registry.ReadValue(key.root, key.key, "v").ok()) << key.key << " after\n" << log;
    for (const char* file : kOtherFiles) EXPECT_TRUE(run.Exists(file)) << file << " after\n" << log;
    for (const std::string& folder : {Programs(run), Programs(run) + "\\Other Group", Programs(run) + "\\Startup",
                                     std::string("C:\\WINDOWS\\Fonts"), std::string("C:\\WINDOWS\\TEMP"),
                                     std::string("C:\\Program Files\\Common Files")})
        EXPECT_TRUE(platform::IsFolder(run.platform.files, folder)) << folder << " after\n" << log;
}

// Replays the product's own records with the hostile ones; the refusals it kept.
std::vector<std::string> Replay(Uninstaller& run, const std::vector<std::string>& hostile) {
    std::vector<std::string> log = {".DC:\\Prog\\app.exe", ".RDemo"};
    log.insert(log.end(), hostile.begin(), hostile.end());
    log.push_back(".FC:\\Prog");
    run.SetLog(log);
    run.app.ReplayLog();
    return run.app.state().refusals;
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    return text;
}

}  // namespace

TEST(HostileLog, RegistryRecordsNeverReachRootsSystemKeysOrTheMakersKey) {
    const std::vector<std::string> records = {
        ".XHKLM,SOFTWARE",
        ".XHKLM,\"Software",                     // cut off inside its quote
        ".XHKLM,\"Software\\\"",                 // a reference that resolved to nothing
        ".XHKLM,\"Software\\Norvane",            // cut inside the product's key
        ".XHKCU,Software\\Norvane\\",
        ".XHKLM,SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
        ".XHKLM,SYSTEM\\CurrentControlSet\\Services\\OtherSvc",
        ".XHKLM,Software\\Classes\\.oth",
        ".XHKLM,\\",
        ".Y1HKLM,SOFTWARE\\Microsoft",
    };
    for (const std::string& record : records) {
        Uninstaller run;
        PutOthers(run);
        const auto refusals = Replay(run, {record});
        ExpectOthersIntact(run, record);
        // Refused with the record named.
        ASSERT_EQ(refusals.size(), 1u) << record << "\n" << Joined(refusals);
        EXPECT_NE(refusals[0].find(record.substr(record[1] == 'Y' ? 3 : 2)), std::string::npos) << refusals[0];
    }
    // The product's own keys still go.
    Uninstaller run;
    PutOthers(run);
    ASSERT_TRUE(run.platform.registry.WriteValue(RootKey::local_machine, "Software\\Norvane\\Demo\\Options", "v", RegValue::Dword(1)));
    ASSERT_TRUE(run.platform.registry.WriteValue(RootKey::local_machine, "Software\\Demo", "v", RegValue::Dword(1)));
    EXPECT_EQ(Replay(run, {".XHKLM,\"Software\\Demo\""}), std::vector<std::string>{});
    EXPECT_FALSE(run.platform.registry.KeyExists(RootKey::local_machine, "Software\\Norvane\\Demo"));
    EXPECT_FALSE(run.platform.registry.KeyExists(RootKey::local_machine, "Software\\Demo"));
    ExpectOthersIntact(run, "the product's own log");
}

TEST(HostileLog, AProductWithoutANameTakesNoKeys) {
    Uninstaller run;
    PutOthers(run);
    run.SetLog({".R  ", ".R\\"});
    run.app.ReplayLog();
    ExpectOthersIntact(run, ".R without a name");
    EXPECT_TRUE(run.platform.registry.KeyExists(RootKey::local_machine, "Software\\Norvane"));
}

TEST(HostileLog, FileRecordsNeverReachOutsideTheProductsFolders) {
    const std::vector<std::string> records = {
        ".DC:\\Prog\\..\\WINDOWS\\win.ini",
        ".D..\\important.txt",            // relative to the uninstaller's folder
        ".DWINDOWS\\win.ini",
        ".D\\important.txt",
        ".DC:important.txt",
        ".DC:\\important.txt",            // full, but not the product's
        ".DC:\\Prog\\. .\\..\\important.txt",
        ".DC:\\Program Files\\Other\\other.exe",
        ".DC:\\Program Files\\*",         // a pattern over every product's files
        ".D\\\\server\\share\\x.txt",
    };
    for (const std::string& record : records) {
        Uninstaller run;
        PutOthers(run);
        const auto refusals = Replay(run, {record, ".FC:\\Program Files", ".FC:\\Program Files\\Other\\.."});
        ExpectOthersIntact(run, record);
        EXPECT_GE(refusals.size(), 2u) << record << "\n" << Joined(refusals);
        EXPECT_FALSE(run.Exists("C:\\Prog\\app.exe")) << record;  // the product's own file went
    }
}

TEST(HostileLog, NoWalkOrRemovalOfTheSystemsOrTheShellsFolders) {
    Uninstaller run;
    PutOthers(run);
    const std::string programs = Programs(run);
    const auto refusals = Replay(run, {".FC:\\WINDOWS\\TEMP", ".ZC:\\WINDOWS\\Fonts", ".Z" + programs, ".Z" + programs + "\\Startup",
                                       ".ZC:\\Program Files\\Common Files", ".FC:\\", ".ZC:\\WINDOWS\\..", ".EC:\\..\\x.dll"});
    ExpectOthersIntact(run, Joined(refusals));
    EXPECT_EQ(refusals.size(), 8u) << Joined(refusals);
    // A group of the product's own goes when empty, but never the menu around it.
    Uninstaller own;
    PutOthers(own);
    ASSERT_TRUE(own.platform.files.MakeFolder(programs + "\\Demo"));
    EXPECT_EQ(Replay(own, {".Z" + programs + "\\Demo"}), std::vector<std::string>{});
    EXPECT_FALSE(platform::IsFolder(own.platform.files, programs + "\\Demo"));
    ExpectOthersIntact(own, "the product's own group");
}

TEST(HostileLog, APatternMatchesOnlyInsideTheFolderOfItsRecord) {
    Uninstaller run;
    PutOthers(run);
    run.Put("C:\\Prog\\Data\\a.tmp");
    run.Put("C:\\Prog2\\b.tmp");
    // Two product folders, one pattern for the first: the second keeps its file.
    const auto refusals = Replay(run, {".DC:\\Prog\\Data\\*.tmp", ".FC:\\Prog2"});
    EXPECT_TRUE(refusals.empty()) << Joined(refusals);
    EXPECT_FALSE(run.Exists("C:\\Prog\\Data\\a.tmp"));
    EXPECT_TRUE(run.Exists("C:\\Prog2\\b.tmp"));
    EXPECT_EQ(run.app.state().leftover_files, std::vector<std::string>{"C:\\Prog2\\b.tmp"});
}
