// Message boxes for both programs.
#include "common/app/dialogs.h"

namespace rvx::app {

std::string LoadText(platform::Resources& resources, int id) { return resources.Text(id).value_or(std::string()); }

platform::Answer ShowMessage(platform::UserInterface& ui, std::string_view caption, std::string_view text,
                             platform::Buttons buttons, platform::Icon icon, int default_button) {
    auto answer = ui.ShowMessage(platform::MessageRequest{std::string(caption), std::string(text), buttons, icon,
                                                          default_button});
    return answer.ok() ? answer.value() : platform::Answer::cancel;
}

}  // namespace rvx::app
