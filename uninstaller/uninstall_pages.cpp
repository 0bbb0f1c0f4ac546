// The uninstaller's dialogs as page models. A leftover page that cannot be shown counts as
// closed with its box unticked, which removes nothing more.
#include "uninstaller/uninstall_pages.h"

#include "common/text/text.h"

namespace rvx::uninstaller {

Confirmation AskToUninstall(platform::UserInterface& ui, std::string_view product_name) {
    platform::PageModel page;
    page.dialog_id = confirmation_page::kDialog;
    page.caption = kDialogCaption;
    page.Add(confirmation_page::kQuestion, platform::ControlKind::text,
             text::FormatMessage("Do you want to uninstall \"%s\" now ?", {product_name}));
    page.Add(confirmation_page::kYes, platform::ControlKind::button, "Yes");
    page.Add(confirmation_page::kNo, platform::ControlKind::button, "No");
    auto pressed = ui.ShowPage(page);
    if (!pressed) return Confirmation::not_shown;
    return pressed.value() == confirmation_page::kYes ? Confirmation::yes : Confirmation::no;
}

bool ShowLeftoverFiles(platform::UserInterface& ui, std::string_view product_name,
                       const std::vector<std::string>& files) {
    platform::PageModel page;
    page.dialog_id = leftovers_page::kDialog;
    page.caption = kDialogCaption;
    page.Add(leftovers_page::kExplanation, platform::ControlKind::text,
             text::FormatMessage("\"%s\" has been removed from your computer. Following files in the application's "
                                 "folder won't be removed automatically.\n\nYou can remove them now by activating "
                                 "the checkbox below.",
                                 {product_name}));
    page.Add(leftovers_page::kRemoveNow, platform::ControlKind::check_box, "Remove these files now").value = "0";
    // The list box shows one file per line.
    std::string list;
    for (const auto& file : files) list += (list.empty() ? "" : "\r\n") + file;
    page.Add(leftovers_page::kFileList, platform::ControlKind::multiline_text, "").value = list;
    page.Add(leftovers_page::kOk, platform::ControlKind::button, "OK");
    if (!ui.ShowPage(page).ok()) return false;
    const auto* box = page.Find(leftovers_page::kRemoveNow);
    return box != nullptr && box->value == "1";
}

}  // namespace rvx::uninstaller
