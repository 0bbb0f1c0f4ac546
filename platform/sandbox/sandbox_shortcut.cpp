// The simulated machine's shortcut files: written through the machine's own files, so that the
// folder, access and in-use rules of a real save apply, in the binary form the system reads.
#include <cstdint>

#include "common/text/text.h"
#include "platform/sandbox/sandbox_system.h"
#include "platform/sandbox/shell_link.h"
#include "platform/shortcut_path.h"

namespace rvx::sandbox {

namespace {

// The machine keeps no volume serials; each drive letter always gets the same one, so that
// shortcuts made on one machine at different times agree.
uint32_t VolumeSerial(char drive) { return 0x52560000u | static_cast<uint8_t>(text::ToUpper(drive)); }

LinkTargetFacts FactsOf(platform::FileSystem& files, std::string_view target) {
    LinkTargetFacts facts;
    if (!IsFullLocalPath(target)) return facts;
    const char drive = text::ToUpper(target[0]);
    facts.drive_type = files.DriveKind(std::string(1, drive) + ":\\");
    facts.volume_serial = VolumeSerial(drive);
    // A search for the path itself; a target with wildcards names no one file.
    if (target.find_first_of("*?") != std::string_view::npos) return facts;
    auto found = files.FindFiles(target);
    if (found.ok() && found.value().size() == 1) {
        const platform::FoundEntry& entry = found.value().front();
        facts.attributes = entry.attributes;
        facts.times = entry.times;
        facts.size = entry.size;
    }
    return facts;
}

}  // namespace

platform::Outcome SandboxShell::CreateShortcut(const platform::ShortcutSpec& shortcut) {
    if (auto checked = platform::CheckShortcutPath(shortcut.link_path); !checked) return checked;
    auto bytes = BuildShellLink(shortcut, FactsOf(files_, shortcut.target));
    if (!bytes) return bytes.error();
    return platform::WriteWholeFile(files_, shortcut.link_path, bytes.value());
}

}  // namespace rvx::sandbox
