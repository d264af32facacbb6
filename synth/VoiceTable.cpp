#include "VoiceTable.h"

namespace rolvik::synth {

VoiceTable::VoiceTable() : slots_(kSlots) {}

std::size_t VoiceTable::HomeOf(const VoiceKey& key) {
    const std::uint32_t packed = static_cast<std::uint32_t>(key.bankMsb) << 24 |
                                 static_cast<std::uint32_t>(key.bankLsb) << 16 |
                                 static_cast<std::uint32_t>(key.program) << 8 | key.note;
    // Fibonacci hashing: the top bits of the product spread neighbouring keys apart.
    return (packed * 2654435769u) >> 20 & kMask;
}

std::size_t VoiceTable::SlotOf(const VoiceKey& key) const {
    std::size_t index = HomeOf(key);
    while (slots_[index].used && slots_[index].key != key) {
        index = (index + 1) & kMask;
    }
    return index;
}

bool VoiceTable::Define(const VoiceKey& key, const VoiceParameters& voice) {
    Slot& slot = slots_[SlotOf(key)];
    if (!slot.used) {
        if (size_ == kCapacity) {
            return false;
        }
        slot.used = true;
        slot.key = key;
        ++size_;
    }
    slot.voice = voice;
    return true;
}

const VoiceParameters* VoiceTable::Find(const VoiceKey& key) const {
    const Slot& slot = slots_[SlotOf(key)];
    return slot.used ? &slot.voice : nullptr;
}

// Erasing moves later entries of the probe back into the gap, so that no probe has to walk
// over erased slots and the table never fills with them.
void VoiceTable::Erase(const VoiceKey& key) {
    std::size_t gap = SlotOf(key);
    if (!slots_[gap].used) {
        return;
    }
    for (std::size_t next = (gap + 1) & kMask; slots_[next].used; next = (next + 1) & kMask) {
        const std::size_t home = HomeOf(slots_[next].key);
        // The entry may move into the gap unless its home lies after the gap, up to its slot.
        const bool homeBetween =
            gap <= next ? (gap < home && home <= next) : (gap < home || home <= next);
        if (!homeBetween) {
            slots_[gap] = slots_[next];
            gap = next;
        }
    }
    slots_[gap].used = false;
    --size_;
}

}  // namespace rolvik::synth
