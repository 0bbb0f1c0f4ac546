// Page models: finding and adding controls.
#include "platform/user_interface.h"

namespace rvx::platform {

Control* PageModel::Find(int id) {
    for (auto& control : controls)
        if (control.id == id) return &control;
    return nullptr;
}

const Control* PageModel::Find(int id) const {
    for (const auto& control : controls)
        if (control.id == id) return &control;
    return nullptr;
}

Control& PageModel::Add(int id, ControlKind kind, std::string text) {
    Control control;
    control.id = id;
    control.kind = kind;
    control.text = std::move(text);
    controls.push_back(std::move(control));
    return controls.back();
}

}  // namespace rvx::platform
