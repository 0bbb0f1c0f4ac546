// The font stage.
#include "installer/registration/fonts.h"

#include <algorithm>
#include <string>

#include "common/system/root_keys.h"
#include "common/text/field_splitter.h"
#include "installer/core/state/install_state.h"
#include "installer/script/system_folders.h"

namespace rvx::installer {

namespace {

// Each family keeps its font list under its own CurrentVersion.
std::string FontsKey(platform::Platform& platform) {
    return std::string("SOFTWARE\\Microsoft\\") + (IsNtFamily(platform) ? "Windows NT" : "Windows") + "\\CurrentVersion\\Fonts";
}

}  // namespace

bool RegisterFonts(platform::Platform& platform, const ScriptSections& script, const CopyState& copy) {
    const auto root = system::RootKeyFromName("HKLM");
    if (!root) return false;
    const std::string key = FontsKey(platform);
    // The key is opened, never created: a system without it has no font list to add to.
    if (!platform.registry.KeyExists(*root, key) || !platform.registry.CheckWritable(*root, key)) return false;

    const std::string folder = FontsFolder(platform);
    const auto& already_present = copy.fonts_already_present;
    for (const std::string& line : script.fonts) {
        const auto fields = text::SplitFields(line, ",");
        if (fields.size() != 2) return false;
        const std::string& name = fields[0];
        const std::string& file = fields[1];
        // The same font is installed already, under this exact file name: nothing to register.
        if (std::find(already_present.begin(), already_present.end(), file) != already_present.end()) continue;
        (void)platform.registry.WriteValue(*root, key, name, platform::RegValue::Text(file));
        (void)platform.fonts.AddFont(folder + "\\" + file);
    }
    return true;
}

}  // namespace rvx::installer
