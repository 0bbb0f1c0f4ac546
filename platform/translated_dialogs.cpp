// Builds the translated descriptions from a language library's templates.
#include "platform/translated_dialogs.h"

namespace rvx::platform {

namespace {

bool SameControls(const DialogDescription& description, const DialogTemplate& dialog) {
    if (description.controls.size() != dialog.controls.size()) return false;
    for (size_t i = 0; i < dialog.controls.size(); ++i)
        if (description.controls[i].id != dialog.controls[i].id) return false;
    return true;
}

}  // namespace

TranslatedDialogs::TranslatedDialogs(std::span<const DialogDescription* const> built_in,
                                     const std::map<int, DialogTemplate>& templates) {
    for (const DialogDescription* description : built_in) {
        if (!description) continue;
        const auto found = templates.find(description->id);
        if (found == templates.end() || !SameControls(*description, found->second)) continue;
        const DialogTemplate& library = found->second;
        auto& controls = controls_.emplace_back(description->controls.begin(), description->controls.end());
        for (size_t i = 0; i < controls.size(); ++i) {
            controls[i].text = texts_.emplace_back(library.controls[i].text).c_str();
            controls[i].place = library.controls[i].place;
        }
        DialogDescription dialog = *description;
        dialog.caption = texts_.emplace_back(library.caption).c_str();
        dialog.place.width = library.place.width;
        dialog.place.height = library.place.height;
        dialog.controls = controls;
        dialogs_.push_back(Translated{description, dialog});
    }
}

const DialogDescription& TranslatedDialogs::Of(const DialogDescription& built_in) const {
    for (const auto& translated : dialogs_)
        if (translated.built_in == &built_in || translated.dialog.id == built_in.id) return translated.dialog;
    return built_in;
}

}  // namespace rvx::platform
