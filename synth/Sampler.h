#pragma once

#include <array>
#include <cstdint>

#include "Lfo.h"
#include "SampledNote.h"

namespace rolvik::synth {

// The notes that play waves, beside the FM notes: taken, let go and rendered by channel and key
// like them. Channels 0..15 are MIDI channels; higher numbers are the audio tracks' channels.
class Sampler {
  public:
    static constexpr int kMaxNotes = 16;

    // A free note if there is one; otherwise the quietest released note, and only when every
    // note is still held, the oldest.
    SampledNote& Allocate();
    // Key-off of every note struck with this key on this channel; with the hold pedal down the
    // notes keep sounding until the pedal is let go.
    void NoteOff(int channel, int key, bool hold);
    void ReleaseHeld(int channel);
    void ReleaseChannel(int channel);
    void KillChannel(int channel);
    void ReleaseAll();
    void DampAll();
    void KillAll();

    // Adds every active note to the buffers for up to one block.
    void Render(float* left, float* right, int frames, const Lfo& lfo,
                const std::array<NoteControls, kMaxNotes>& controls);

    const std::array<SampledNote, kMaxNotes>& notes() const { return notes_; }
    int ActiveCount() const;
    // Bit n set while a note of MIDI channel n is held (struck and not yet let go).
    std::uint16_t HeldChannels() const;
    bool IsSounding(int channel, int key) const;

  private:
    std::array<SampledNote, kMaxNotes> notes_{};
    std::array<bool, kMaxNotes> heldByPedal_{};
};

}  // namespace rolvik::synth
