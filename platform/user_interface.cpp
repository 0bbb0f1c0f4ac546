// Page model lookups.
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

}  // namespace rvx::platform
