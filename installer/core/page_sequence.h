// The order of the wizard's pages: twenty slots, each holding a page code, "skipped" or "end",
// and the index of the current slot. Next and Back pass over skipped slots.
#pragma once

#include <array>
#include <cstddef>

namespace rvx::installer {

// Page codes of the slots.
inline constexpr int kPagePrevious = 0;
inline constexpr int kPagePersonal = 2;
inline constexpr int kPageFolder = 3;
inline constexpr int kPageDocuments = 4;
inline constexpr int kPageLicence = 5;
inline constexpr int kSlotSkipped = -2;
inline constexpr int kSlotEnd = -1;

class PageSequence {
public:
    PageSequence() { slots_.fill(kSlotSkipped); }

    void Set(int slot, int code) { slots_[static_cast<std::size_t>(slot)] = code; }
    int Get(int slot) const { return slots_[static_cast<std::size_t>(slot)]; }

    // The current page code (first moving past leading skipped slots when the index is on one).
    int Current();
    void Next();
    void Back();
    int index() const { return index_; }
    bool Done() { return Current() == kSlotEnd; }

private:
    int LeadingSkipped() const;

    std::array<int, 20> slots_{};
    int index_ = 0;
};

}  // namespace rvx::installer
