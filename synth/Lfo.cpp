#include "Lfo.h"

#include <cmath>
#include <numbers>

#include "EnvelopeRates.h"

namespace rolvik::synth {

double Lfo::RateHz(int rate) {
    constexpr std::array<double, 4> kRatesHz = {1.8, 4.0, 5.9, 7.0};
    return kRatesHz[rate & 3];
}

void Lfo::Reset() {
    phasesCycles_ = {};
    UpdateValues();
}

void Lfo::Advance(int frames) {
    for (int rate = 0; rate < 4; ++rate) {
        const double phase = phasesCycles_[rate] + RateHz(rate) * frames / kSampleRateHz;
        phasesCycles_[rate] = phase - std::floor(phase);
    }
    UpdateValues();
}

void Lfo::UpdateValues() {
    for (int rate = 0; rate < 4; ++rate) {
        const double phase = phasesCycles_[rate];
        values_[rate].vibrato = static_cast<float>(std::sin(2.0 * std::numbers::pi * phase));
        values_[rate].tremolo = static_cast<float>(phase < 0.5 ? 2.0 * phase : 2.0 - 2.0 * phase);
    }
}

}  // namespace rolvik::synth
