// Moving through the wizard's page slots.
#include "installer/core/page_sequence.h"

namespace rvx::installer {

int PageSequence::LeadingSkipped() const {
    int count = 0;
    while (count < static_cast<int>(slots_.size()) && slots_[static_cast<std::size_t>(count)] == kSlotSkipped) ++count;
    return count;
}

int PageSequence::Current() {
    if (slots_[static_cast<std::size_t>(index_)] == kSlotSkipped) index_ = LeadingSkipped();
    // A sequence of skipped slots only behaves as its end.
    if (index_ >= static_cast<int>(slots_.size())) return kSlotEnd;
    return slots_[static_cast<std::size_t>(index_)];
}

void PageSequence::Next() {
    if (Current() == kSlotEnd) return;
    do {
        ++index_;
    } while (index_ < static_cast<int>(slots_.size()) - 1 && slots_[static_cast<std::size_t>(index_)] == kSlotSkipped);
}

void PageSequence::Back() {
    if (index_ == 0) return;
    do {
        --index_;
    } while (index_ > 0 && slots_[static_cast<std::size_t>(index_)] == kSlotSkipped);
}

}  // namespace rvx::installer
