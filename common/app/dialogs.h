// Message boxes for both programs: texts from the string table, answers as plain values.
#pragma once

#include <string>
#include <string_view>

#include "platform/platform.h"

namespace rvx::app {

// A string-table text, or an empty text when the id is unknown.
std::string LoadText(platform::Resources& resources, int id);

// Shows a message box; a box that cannot be shown counts as answered with Cancel.
platform::Answer ShowMessage(platform::UserInterface& ui, std::string_view caption, std::string_view text,
                             platform::Buttons buttons, platform::Icon icon, int default_button = 1);

}  // namespace rvx::app
