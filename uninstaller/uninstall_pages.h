// The uninstaller's two modal dialogs, described as pages of the user interface: the question
// before anything is removed, and the list of files left in the application's folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/user_interface.h"

namespace rvx::uninstaller {

inline constexpr const char* kDialogCaption = "Norvane uninstall";

namespace confirmation_page {
inline constexpr int kDialog = 131;
inline constexpr int kQuestion = 1004;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;
}  // namespace confirmation_page

namespace leftovers_page {
inline constexpr int kDialog = 129;
inline constexpr int kExplanation = 1002;
inline constexpr int kRemoveNow = 1001;
inline constexpr int kFileList = 1000;
inline constexpr int kOk = 1;
}  // namespace leftovers_page

enum class Confirmation { yes, no, not_shown };

// Asks whether to remove the product; not_shown when the page could not be shown at all.
Confirmation AskToUninstall(platform::UserInterface& ui, std::string_view product_name);

// Shows the leftover files; true when the dialog was closed with "Remove these files now" ticked.
bool ShowLeftoverFiles(platform::UserInterface& ui, std::string_view product_name,
                       const std::vector<std::string>& files);

}  // namespace rvx::uninstaller
