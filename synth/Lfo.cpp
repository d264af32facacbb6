#include "Lfo.h"

#include <cmath>
#include <numbers>

#include "EnvelopeRates.h"

namespace rolvik::synth {

double Lfo::RateHz(int rate) {
    constexpr std::array<double, 4> kRatesHz = {1.8, 4.0, 5.9, 7.0};
    return kRatesHz[rate & 3];
}

namespace {

double Radians(double cycles) {
    return 2.0 * std::numbers::pi * cycles;
}

struct Rotation {
    double sine;
    double cosine;
};

// Each rate's turn over one block.
const std::array<Rotation, 4>& BlockRotations() {
    static const std::array<Rotation, 4> rotations = [] {
        std::array<Rotation, 4> result{};
        for (int rate = 0; rate < 4; ++rate) {
            const double angle = Radians(Lfo::RateHz(rate) * kBlockFrames / kSampleRateHz);
            result[rate] = {std::sin(angle), std::cos(angle)};
        }
        return result;
    }();
    return rotations;
}

}  // namespace

void Lfo::Reset() {
    phasesCycles_ = {};
    sines_ = {};
    cosines_ = {1.0, 1.0, 1.0, 1.0};
    UpdateValues();
}

void Lfo::Advance(int frames) {
    for (int rate = 0; rate < 4; ++rate) {
        const double phase = phasesCycles_[rate] + RateHz(rate) * frames / kSampleRateHz;
        phasesCycles_[rate] = phase - std::floor(phase);
        if (frames == kBlockFrames && phase < 1.0) {
            Rotate(rate);
        } else {
            sines_[rate] = std::sin(Radians(phasesCycles_[rate]));
            cosines_[rate] = std::cos(Radians(phasesCycles_[rate]));
        }
    }
    UpdateValues();
}

void Lfo::Rotate(int rate) {
    const Rotation& turn = BlockRotations()[rate];
    const double sine = sines_[rate];
    sines_[rate] = sine * turn.cosine + cosines_[rate] * turn.sine;
    cosines_[rate] = cosines_[rate] * turn.cosine - sine * turn.sine;
}

void Lfo::UpdateValues() {
    for (int rate = 0; rate < 4; ++rate) {
        const double phase = phasesCycles_[rate];
        values_[rate].vibrato = static_cast<float>(sines_[rate]);
        values_[rate].tremolo = static_cast<float>(phase < 0.5 ? 2.0 * phase : 2.0 - 2.0 * phase);
    }
}

}  // namespace rolvik::synth
