// What the installer's hyperlinks do when clicked: open their target with the browser fallback,
// and explain a failure by the shell's code.
#pragma once

#include "platform/hyperlink_control.h"

namespace rvx::installer {

class InstallState;

class InstallerHyperlinkActions : public platform::HyperlinkActions {
public:
    explicit InstallerHyperlinkActions(InstallState& app) : app_(app) {}
    platform::ShellCode Open(std::string_view target) override;
    void ShowOpenError(platform::ShellCode code) override;

private:
    InstallState& app_;
};

}  // namespace rvx::installer
