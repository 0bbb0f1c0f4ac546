// Opening documents and web addresses, with the fallback to the registered web browser.
#include "installer/actions/open_document.h"

#include <optional>

namespace rvx::installer {

namespace {

namespace code = platform::shell_code;
using platform::RootKey;

constexpr std::string_view kWebPageType = ".htm";
constexpr std::string_view kOpenCommandKey = "\\shell\\open\\command";

std::optional<std::string> DefaultText(platform::Registry& registry, std::string_view key) {
    auto value = registry.ReadValue(RootKey::classes_root, key, "");
    if (!value) return std::nullopt;
    return value->AsText();
}

// A started command answers as the system's simple program start does: above 31 on success,
// else the system error that stopped it.
platform::ShellCode StartCode(const platform::Outcome& started) {
    switch (started.status()) {
    case platform::Status::ok: return {code::opened};
    case platform::Status::not_found: return {code::file_not_found};
    case platform::Status::path_not_found: return {code::path_not_found};
    case platform::Status::access_denied: return {code::access_denied};
    case platform::Status::sharing_violation: return {code::sharing_violation};
    case platform::Status::invalid_argument: return {code::bad_format};
    default: return {code::out_of_memory};
    }
}

}  // namespace

std::string BrowserCommandLine(std::string_view registered_command, std::string_view target) {
    std::string line(registered_command);
    size_t cut = line.find("\"%1\"");
    if (cut == std::string::npos) cut = line.find("%1");
    if (cut != std::string::npos) line.erase(cut);
    return line + " " + std::string(target);
}

platform::ShellCode OpenDocument(DocumentOpener opener, std::string_view target, platform::ShowState show) {
    const platform::WaitCursor waiting(opener.ui);
    const platform::ShellCode shell_code = opener.shell.Execute(platform::ShellVerb::open, target, show);
    if (shell_code.opened()) return shell_code;

    const auto type = DefaultText(opener.registry, kWebPageType);
    if (!type) return shell_code;
    auto command = DefaultText(opener.registry, *type + std::string(kOpenCommandKey));
    if (!command) return shell_code;
    if (command->size() >= kMaxOpenCommand) command->resize(kMaxOpenCommand - 1);  // room for the end mark
    return StartCode(opener.processes.RunCommand(BrowserCommandLine(*command, target), show));
}

}  // namespace rvx::installer
