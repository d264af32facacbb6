#include "PendingNoteOffs.h"

#include <algorithm>

namespace rolvik::synth {

std::optional<PendingNoteOff> PendingNoteOffs::Add(const PendingNoteOff& off) {
    if (count_ < kCapacity) {
        offs_[count_++] = off;
        return std::nullopt;
    }
    const auto first = std::min_element(
        offs_.begin(), offs_.end(),
        [](const PendingNoteOff& a, const PendingNoteOff& b) { return a.endScaled < b.endScaled; });
    const PendingNoteOff evicted = *first;
    std::move(first + 1, offs_.end(), first);
    offs_.back() = off;
    return evicted;
}

std::int64_t PendingNoteOffs::NextDue(std::int64_t never) const {
    std::int64_t next = never;
    for (std::size_t i = 0; i < count_; ++i) {
        next = std::min(next, offs_[i].endScaled);
    }
    return next;
}

}  // namespace rolvik::synth
