// The uninstaller's two modal dialogs, as pages of the user interface made from their
// descriptions (uninstaller/uninstaller_pages.def): the question before anything is removed,
// and the list of files left in the application's folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/user_interface.h"
#include "uninstaller_pages.h"

namespace rvx::uninstaller {

namespace confirmation_page = dialogs::confirmation_page;
namespace leftovers_page = dialogs::leftovers_page;
namespace progress_window = dialogs::progress_window;

enum class Confirmation { yes, no, not_shown };

// Asks whether to remove the product; not_shown when the page could not be shown at all.
Confirmation AskToUninstall(platform::UserInterface& ui, std::string_view product_name);

enum class LeftoverChoice { remove, keep, not_shown };

// Shows the leftover files; remove when the dialog was closed with "Remove these files now" ticked.
LeftoverChoice ShowLeftoverFiles(platform::UserInterface& ui, std::string_view product_name,
                                 const std::vector<std::string>& files);

}  // namespace rvx::uninstaller
