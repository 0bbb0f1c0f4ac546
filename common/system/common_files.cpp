// The Common Files folder rule.
#include "common/system/common_files.h"

#include <optional>

namespace rvx::system {

namespace {
std::optional<std::string> ReadText(platform::Registry& registry, const char* name) {
    auto value = registry.ReadValue(platform::RootKey::local_machine, kCommonFilesKey, name);
    if (!value.ok()) return std::nullopt;
    return value->AsText();
}
}  // namespace

std::string CommonFilesFolder(platform::Registry& registry, std::string_view windows_folder) {
    if (auto common = ReadText(registry, "CommonFilesDir")) return *common;
    if (auto program_files = ReadText(registry, "ProgramFilesDir")) return *program_files + "\\Common Files";
    std::string root(windows_folder);
    if (const size_t first = root.find('\\'); first != std::string::npos) root.erase(first + 1);
    return root + "Program Files\\Common Files";
}

}  // namespace rvx::system
