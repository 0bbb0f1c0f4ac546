// What the installer's hyperlinks do when clicked: open their target with the browser fallback,
// and explain a failure by the shell's code.
#pragma once

#include "platform/hyperlink_control.h"
#include "platform/platform.h"

namespace rvx::installer {

class InstallerHyperlinkActions : public platform::HyperlinkActions {
public:
    explicit InstallerHyperlinkActions(platform::Platform& platform) : platform_(platform) {}
    platform::ShellCode Open(std::string_view target) override;
    void ShowOpenError(platform::ShellCode code) override;

private:
    platform::Platform& platform_;
};

}  // namespace rvx::installer
