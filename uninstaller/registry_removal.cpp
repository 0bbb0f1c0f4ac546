// Removing the installation's registry keys, and reading the value the warning's condition
// compares with the installation folder.
#include "common/system/root_keys.h"
#include "common/text/path_helpers.h"
#include "common/text/text.h"
#include "uninstaller/field_splitter.h"
#include "uninstaller/uninstall_app.h"

namespace rvx::uninstaller {

namespace {

// The keys a product keeps its settings and its entry in the list of removable software under.
struct ProductKey {
    platform::RootKey root;
    const char* parent;
};
constexpr ProductKey kProductKeys[] = {
    {platform::RootKey::current_user, "Software\\Norvane\\"},
    {platform::RootKey::local_machine, "Software\\Norvane\\"},
    {platform::RootKey::local_machine, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"},
};

// A key text that names no key below its root ("", "\", blanks): deleting it would delete the
// whole root.
bool NamesNoKey(std::string_view key) {
    for (char c : key)
        if (c != '\\' && !text::IsBlank(c)) return false;
    return true;
}

// Registry values are read into a buffer of this size; a longer one cannot be read at all.
constexpr size_t kValueBuffer = 1024;

}  // namespace

void UninstallApp::DeleteKeyByLine(std::string_view line) {
    // A line cut off inside its quotes would name a shorter key than the one written.
    if (!HasBalancedQuotes(line)) {
        Refuse(".X", line, Refusal::unbalanced_quotes);
        return;
    }
    const auto fields = SplitUninstallFields(line);
    if (fields.size() < 2) return;
    const auto root = system::RootKeyFromName(fields[0]);
    if (!root) return;
    if (const Refusal refused = CheckKeyDeletion(*root, fields[1]); refused != Refusal::none) {
        Refuse(".X", line, refused);
        return;
    }
    (void)DeleteKeyTree(*root, fields[1]);
}

platform::Outcome UninstallApp::DeleteKeyTree(platform::RootKey root, std::string_view key) {
    auto& registry = platform_.registry;
    if (!registry.KeyExists(root, key)) return platform::Fail(platform::Status::not_found, std::string(key));
    const std::string parent = path::RemoveTrailingBackslash(key);
    // After every subkey that goes, the enumeration starts again from the first name; one that
    // stays is stepped over. The subkey's own tree deletion already removes it, so whether it
    // went is asked of the registry: a second deletion would fail and make the enumeration
    // step over the next name, which would then stay behind.
    for (size_t index = 0;;) {
        auto names = registry.SubkeyNames(root, key);
        if (!names || index >= names->size()) break;
        const std::string subkey = parent + "\\" + (*names)[index];
        (void)DeleteKeyTree(root, subkey);
        if (!registry.KeyExists(root, subkey)) index = 0;
        else ++index;
    }
    return registry.DeleteKey(root, key);
}

void UninstallApp::RemoveProductKeys(std::string_view name) {
    // Without a name the keys below would be the maker's key and the whole list of removable
    // software. The keys are named directly rather than through a registry line, so that a
    // comma or a quote in the name cannot make the line name a shorter key.
    const std::string_view product = text::TrimBlanks(name);
    if (NamesNoKey(product)) return;
    for (const auto& key : kProductKeys) {
        const std::string full = std::string(key.parent) + std::string(product);
        if (const Refusal refused = CheckKeyDeletion(key.root, full); refused != Refusal::none) {
            Refuse(".R", name, refused);
            continue;
        }
        (void)DeleteKeyTree(key.root, full);
    }
}

void UninstallApp::EvaluateWarningCondition(std::string_view text) {
    // The text is the quoted registry reference ("$" root, key, value name), then the folder.
    const auto fields = SplitUninstallFields(text);
    const std::string_view reference_text = fields.empty() ? std::string_view() : std::string_view(fields[0]);
    const auto reference = SplitUninstallFields(reference_text.empty() ? reference_text : reference_text.substr(1));
    if (reference.size() < 3) {
        state_.warning_condition = false;
        return;
    }
    const std::string folder = fields.size() > 1 ? path::RemoveTrailingBackslash(fields[1]) : std::string();
    std::string value_text;
    if (const auto root = system::RootKeyFromName(reference[0])) {
        auto value = platform_.registry.ReadValue(*root, reference[1], reference[2]);
        if (value && value->data.size() <= kValueBuffer) {
            const std::string raw(value->data.begin(), value->data.end());
            value_text = raw.substr(0, raw.find('\0'));
        }
    }
    state_.warning_condition = text::EqualsIgnoreCase(value_text, folder);
}

}  // namespace rvx::uninstaller
