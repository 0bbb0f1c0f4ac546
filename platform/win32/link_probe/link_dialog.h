// The hyperlink probe's dialog (template in rvxlinks.rc): its three static texts made
// hyperlinks with MakeHyperlink, so that the GUI tests can click them in a real window. The
// dialog counts the commands the links post to it and shows the counts in a static text.
#pragma once

#include <string>

#include "platform/hyperlink_control.h"

namespace rvx::win32::link_probe {

struct LinkTargets {
    std::string left;
    std::string centre;
    std::string right;
};

// Shows the dialog until it is closed. 0 when it was closed, 1 when a static text could not be
// made a hyperlink or the dialog could not be shown.
int ShowLinkDialog(platform::HyperlinkActions& actions, const LinkTargets& targets);

}  // namespace rvx::win32::link_probe
