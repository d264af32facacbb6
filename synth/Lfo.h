#pragma once

#include <array>

namespace rolvik::synth {

// The LFO and the channel controls are read once per block of this many frames, and a note that
// is no longer heard stops at the end of a block.
inline constexpr int kBlockFrames = 32;

// The four low-frequency oscillators of the voice LFO-rate field (1.8, 4.0, 5.9 and 7.0 Hz).
// They run freely for the whole engine, as on the chip, and are read once per block.
// How deep the LFO works on a voice, by its DAM and DVB fields.
inline constexpr std::array<float, 4> kTremoloDepthsDb = {1.3f, 2.8f, 5.8f, 11.8f};
inline constexpr std::array<float, 4> kVibratoDepthsCents = {3.4f, 6.7f, 13.5f, 26.8f};

class Lfo {
  public:
    struct Values {
        float vibrato = 0.0f;  // -1..1, a sine
        float tremolo = 0.0f;  // 0..1, a triangle
    };

    Lfo() { Reset(); }
    void Reset();
    void Advance(int frames);
    Values Read(int rate) const { return values_[rate & 3]; }

    static double RateHz(int rate);

  private:
    void Rotate(int rate);
    void UpdateValues();

    std::array<double, 4> phasesCycles_{};
    // The sine and cosine of each phase. A whole block turns them by a fixed rotation, which
    // spares a sine per rate and block; any other advance, and every wrap of the phase, sets them
    // afresh from the phase, so rounding never builds up.
    std::array<double, 4> sines_{};
    std::array<double, 4> cosines_{};
    std::array<Values, 4> values_{};  // at the current phases
};

}  // namespace rolvik::synth
