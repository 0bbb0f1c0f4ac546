// Commands to the program manager ("[DeleteGroup(Demo)]"), sent at uninstall time.
#include "uninstaller/program_manager_command.h"

#include "uninstaller/uninstall_app.h"

namespace rvx::uninstaller {

std::string FormatProgramManagerCommand(std::string_view text) {
    // The text is a format with empty texts for its "%s"; a "%" before anything else stays
    // as it is, since there is nothing it could stand for.
    constexpr size_t kBuffer = 500;
    std::string out;
    for (size_t i = 0; i < text.size() && out.size() < kBuffer - 1; ++i) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == 's' || text[i + 1] == '%')) {
            if (text[i + 1] == '%') out += '%';
            ++i;
            continue;
        }
        out += text[i];
    }
    return out;
}

void UninstallApp::SendProgramManagerCommand(std::string_view text) {
    // A system without a program manager simply does not get the command.
    (void)platform_.program_manager.Execute(FormatProgramManagerCommand(text));
}

}  // namespace rvx::uninstaller
