// The program's dialogs as a language library shows them: each built-in description with the
// caption, size, control texts and places of the library's template of the same id, so that the
// page models the core builds carry the library's texts, as the real dialogs show them. Kinds,
// limits, pictures and what radio buttons reveal stay those of the description, which a
// template cannot carry.
#pragma once

#include <deque>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "platform/dialog_description.h"
#include "platform/language_library.h"

namespace rvx::platform {

class TranslatedDialogs {
public:
    TranslatedDialogs() = default;
    // A template is taken only when it has the description's controls, with the same ids in the
    // same order; any other leaves the built-in description in use for that dialog.
    TranslatedDialogs(std::span<const DialogDescription* const> built_in, const std::map<int, DialogTemplate>& templates);
    TranslatedDialogs(const TranslatedDialogs&) = delete;
    TranslatedDialogs& operator=(const TranslatedDialogs&) = delete;
    TranslatedDialogs(TranslatedDialogs&&) = default;
    TranslatedDialogs& operator=(TranslatedDialogs&&) = default;

    // The library's form of the dialog, or the built-in description itself.
    const DialogDescription& Of(const DialogDescription& built_in) const;
    size_t size() const { return dialogs_.size(); }

private:
    struct Translated {
        const DialogDescription* built_in;
        DialogDescription dialog;
    };
    // Deques keep the addresses that the descriptions point into while more are added.
    std::deque<std::string> texts_;
    std::deque<std::vector<ControlDescription>> controls_;
    std::deque<Translated> dialogs_;
};

}  // namespace rvx::platform
