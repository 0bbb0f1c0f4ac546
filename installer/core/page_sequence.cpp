// Moving through the wizard's page slots.
#include "installer/core/page_sequence.h"

namespace rvx::installer {

int PageSequence::LeadingSkipped() const {
    int count = 0;
    while (count < static_cast<int>(slots_.size()) && slots_[static_cast<std::size_t>(count)] == PageCode::skipped) ++count;
    return count;
}

PageCode PageSequence::Current() {
    if (slots_[static_cast<std::size_t>(index_)] == PageCode::skipped) index_ = LeadingSkipped();
    // A sequence of skipped slots only behaves as its end.
    if (index_ >= static_cast<int>(slots_.size())) return PageCode::end;
    return slots_[static_cast<std::size_t>(index_)];
}

void PageSequence::Next() {
    if (Current() == PageCode::end) return;
    do {
        ++index_;
    } while (index_ < static_cast<int>(slots_.size()) - 1 && slots_[static_cast<std::size_t>(index_)] == PageCode::skipped);
}

void PageSequence::Back() {
    if (index_ == 0) return;
    do {
        --index_;
    } while (index_ > 0 && slots_[static_cast<std::size_t>(index_)] == PageCode::skipped);
}

}  // namespace rvx::installer
