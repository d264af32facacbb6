#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace rolvik::synth {

// A note-off the sequencer owes: the channel and key of a note it struck and when its gate ends,
// in the sequencer's scaled song time.
struct PendingNoteOff {
    std::uint8_t channel = 0;  // a MIDI channel, or an audio channel for a recording
    std::uint8_t key = 0;      // the note, or the recording's wave number
    std::int64_t endScaled = 0;
    bool recording = false;
};

// The sequencer's owed note-offs in storage of a fixed size, so that the audio thread never
// allocates for them. The tone generator sounds 32 notes at most, so of more than kCapacity
// notes pending at once the older ones no longer sound: of those, the one whose gate ends first
// is let go early to make room for the note just struck.
class PendingNoteOffs {
  public:
    static constexpr std::size_t kCapacity = 1024;

    // Adds a note-off; when there is no room, hands back the pending one that ends first, which
    // is then no longer pending and must be sent at once.
    std::optional<PendingNoteOff> Add(const PendingNoteOff& off);
    void Clear() { count_ = 0; }
    // Moves every pending note-off by `deltaScaled`, as song time jumps by it (a loop's return).
    void Shift(std::int64_t deltaScaled) {
        for (std::size_t i = 0; i < count_; ++i) {
            offs_[i].endScaled += deltaScaled;
        }
    }
    bool empty() const { return count_ == 0; }

    // Calls `send` with every note-off due at `nowScaled` and drops them; the others keep their
    // order.
    template <typename Send>
    void SendDue(std::int64_t nowScaled, Send&& send) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < count_; ++i) {
            if (offs_[i].endScaled > nowScaled) {
                offs_[kept++] = offs_[i];
            } else {
                send(offs_[i]);
            }
        }
        count_ = kept;
    }

    // When the next note-off is due; `never` when none is pending.
    std::int64_t NextDue(std::int64_t never) const;

  private:
    std::array<PendingNoteOff, kCapacity> offs_{};
    std::size_t count_ = 0;
};

}  // namespace rolvik::synth
