#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "VoiceKey.h"
#include "VoiceParameters.h"

namespace rolvik::synth {

// The voice definitions by key, in a hash table whose storage is made once, when the table is
// made: defining, replacing and erasing voices never call the allocator, so that the audio thread
// can do it. It holds kCapacity voices, more than the preset voices of a full voice set (about
// 1,700 assignments); a definition beyond that is refused.
class VoiceTable {
  public:
    static constexpr std::size_t kCapacity = 3072;

    VoiceTable();

    // Defines or replaces the voice at the key; false when the table is full.
    bool Define(const VoiceKey& key, const VoiceParameters& voice);
    void Erase(const VoiceKey& key);
    // The voice at the key; null when none is defined there.
    const VoiceParameters* Find(const VoiceKey& key) const;
    std::size_t size() const { return size_; }

  private:
    struct Slot {
        VoiceKey key;
        bool used = false;
        VoiceParameters voice;
    };

    // Linear probing in a table a third larger than the capacity keeps probes short.
    static constexpr std::size_t kSlots = 4096;
    static constexpr std::size_t kMask = kSlots - 1;
    static_assert((kSlots & kMask) == 0 && kSlots > kCapacity);

    static std::size_t HomeOf(const VoiceKey& key);
    // The slot holding the key, or the free slot where its probe ends.
    std::size_t SlotOf(const VoiceKey& key) const;

    std::vector<Slot> slots_;
    std::size_t size_ = 0;
};

}  // namespace rolvik::synth
