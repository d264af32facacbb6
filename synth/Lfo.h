#pragma once

#include <array>

namespace rolvik::synth {

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
    void UpdateValues();

    std::array<double, 4> phasesCycles_{};
    std::array<Values, 4> values_{};  // at the current phases
};

}  // namespace rolvik::synth
