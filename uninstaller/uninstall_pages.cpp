// The uninstaller's dialogs as page models.
#include "uninstaller/uninstall_pages.h"

#include "common/text/text.h"
#include "platform/dialog_description.h"

namespace rvx::uninstaller {

namespace {

// The product's name goes where the template text has "%s".
void NameTheProduct(platform::PageModel& page, int id, std::string_view product_name) {
    if (platform::Control* control = page.Find(id)) control->text = text::FormatMessage(control->text, {product_name});
}

}  // namespace

Confirmation AskToUninstall(platform::UserInterface& ui, std::string_view product_name) {
    platform::PageModel page = platform::ModelOf(confirmation_page::kDescription);
    NameTheProduct(page, confirmation_page::kQuestion, product_name);
    auto pressed = ui.ShowPage(page);
    if (!pressed) return Confirmation::not_shown;
    return pressed.value() == confirmation_page::kYes ? Confirmation::yes : Confirmation::no;
}

LeftoverChoice ShowLeftoverFiles(platform::UserInterface& ui, std::string_view product_name,
                                 const std::vector<std::string>& files) {
    platform::PageModel page = platform::ModelOf(leftovers_page::kDescription);
    NameTheProduct(page, leftovers_page::kExplanation, product_name);
    // The list box shows one file per line.
    std::string list;
    for (const auto& file : files) list += (list.empty() ? "" : "\r\n") + file;
    if (platform::Control* box = page.Find(leftovers_page::kFileList)) box->value = list;
    if (!ui.ShowPage(page).ok()) return LeftoverChoice::not_shown;
    const auto* box = page.Find(leftovers_page::kRemoveNow);
    return box != nullptr && box->value == "1" ? LeftoverChoice::remove : LeftoverChoice::keep;
}

}  // namespace rvx::uninstaller
