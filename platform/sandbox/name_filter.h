// A counting filter of the names an indexed folder holds, by their hashes: a name whose slot
// counts nothing is not in the folder, which a lookup then learns from one small table instead
// of the folder's whole index. Most lookups of a name that is not there (a compressed name on a
// plain medium, a file before it is made) end here.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace rvx::sandbox {

class NameFilter {
public:
    // False only when no name of that hash is counted. A filter never filled holds anything.
    bool MayHold(size_t hash) const { return slots_.empty() || slots_[hash & (slots_.size() - 1)] != 0; }
    void Add(size_t hash) {
        uint8_t& slot = slots_[hash & (slots_.size() - 1)];
        if (slot != kStuck) ++slot;
    }
    void Remove(size_t hash) {
        uint8_t& slot = slots_[hash & (slots_.size() - 1)];
        if (slot != kStuck && slot != 0) --slot;
    }
    // Too few slots to tell names apart well: to be reset and every name added again.
    bool Crowded(size_t names) const { return names * kSlotsPerName > slots_.size(); }
    void Reset(size_t names) { slots_.assign(std::bit_ceil(std::max<size_t>(64, names * kSlotsPerName * 2)), 0); }

private:
    // One name in eight slots: about one lookup in nine of a missing name still looks further.
    static constexpr size_t kSlotsPerName = 8;
    // A slot counted this often no longer counts down: it says "maybe" from then on.
    static constexpr uint8_t kStuck = 255;
    std::vector<uint8_t> slots_;
};

}  // namespace rvx::sandbox
