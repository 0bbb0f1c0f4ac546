// The order of the wizard's pages: twenty slots, each holding a page code, "skipped" or "end",
// and the index of the current slot. Next and Back pass over skipped slots.
#pragma once

#include <array>
#include <cstddef>

namespace rvx::installer {

// What a slot holds: the page it shows, or that it is skipped or ends the wizard. The numbers
// are those the slots have always held.
enum class PageCode : int {
    previous_installation = 0,
    personal_data = 2,
    folder = 3,  // the installation folder page, or the ready-to-update page of an update
    documents = 4,
    licence = 5,
    skipped = -2,
    end = -1,
};

// The slots the run sequence writes; the others stay skipped.
enum class PageSlot : int {
    previous_installation = 0,
    licence = 3,
    personal_data = 4,
    folder = 5,
    documents = 6,
    end = 7,
};

class PageSequence {
public:
    static constexpr std::size_t kSlots = 20;

    PageSequence() { slots_.fill(PageCode::skipped); }

    void Set(PageSlot slot, PageCode code) { slots_[static_cast<std::size_t>(slot)] = code; }
    PageCode Get(PageSlot slot) const { return slots_[static_cast<std::size_t>(slot)]; }

    // The current page code (first moving past leading skipped slots when the index is on one).
    PageCode Current();
    void Next();
    void Back();
    int index() const { return index_; }
    bool Done() { return Current() == PageCode::end; }

private:
    int LeadingSkipped() const;

    std::array<PageCode, kSlots> slots_{};
    int index_ = 0;
};

}  // namespace rvx::installer
