// rvxlinks.exe, the hyperlink probe of the GUI tests: the installer's hyperlink actions (opening
// with the web browser fallback, the open-error message) behind the three links of the probe's
// dialog (platform/win32/link_probe), on the real machine. Driven by rvxlinkcheck.exe in the
// links scenario of tests/wine/run.sh, which prepares the targets and their associations:
// the left link's web address opens through the address's own association, the centre link's
// document has none and opens in the registered web browser, the right link's document does
// not exist.
#include "installer/actions/hyperlink_actions.h"
#include "installer_strings.h"
#include "platform/program_entry.h"
#include "platform/win32/link_probe/link_dialog.h"

namespace rvx::platform {

std::span<const text::StringEntry> ProgramStrings() { return installer::kBuiltInStrings; }

std::span<const DialogDescription* const> ProgramDialogs() { return {}; }

int RunProgram(Platform& platform) {
    installer::InstallerHyperlinkActions actions(platform);
    return win32::link_probe::ShowLinkDialog(
        actions, {"http://www.example.test/links", "C:\\links\\notes.rvxnote", "C:\\links\\missing.rvxnote"});
}

}  // namespace rvx::platform
