#include "Waveforms.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace rolvik::synth {
namespace {

using BaseShape = float (*)(double cycle);  // one cycle over [0, 1)

float Sine(double x) {
    return static_cast<float>(std::sin(2.0 * std::numbers::pi * x));
}

float Triangle(double x) {
    if (x < 0.25) {
        return static_cast<float>(4.0 * x);
    }
    if (x < 0.75) {
        return static_cast<float>(2.0 - 4.0 * x);
    }
    return static_cast<float>(4.0 * x - 4.0);
}

float Sawtooth(double x) {
    return static_cast<float>(x < 0.5 ? 2.0 * x : 2.0 * x - 2.0);
}

// The six shapes that the sine, triangle and sawtooth families share: full, positive half,
// absolute, quarter pulses, double speed in the first half, and its absolute.
float FamilyShape(BaseShape base, int variant, double x) {
    switch (variant) {
        case 0:
            return base(x);
        case 1:
            return x < 0.5 ? base(x) : 0.0f;
        case 2:
            return std::fabs(base(x));
        case 3:
            return std::fmod(x, 0.5) < 0.25 ? std::fabs(base(x)) : 0.0f;
        case 4:
            return x < 0.5 ? base(2.0 * x) : 0.0f;
        default:
            return x < 0.5 ? std::fabs(base(2.0 * x)) : 0.0f;
    }
}

float ClippedTop(float value) {
    return std::clamp(value * std::numbers::sqrt2_v<float>, -1.0f, 1.0f);
}

// The exponential ramp of the "derived square": falls from full level through the first half
// cycle and mirrors below zero in the second.
float DerivedSquare(double x) {
    if (x < 0.5) {
        return static_cast<float>(std::exp(-16.0 * x));
    }
    return static_cast<float>(-std::exp(-16.0 * (1.0 - x)));
}

float WaveformValue(int ws, double x) {
    if (ws <= 5) {
        return FamilyShape(Sine, ws, x);
    }
    switch (ws) {
        case 6:
            return x < 0.5 ? 1.0f : -1.0f;
        case 7:
            return DerivedSquare(x);
        case 14:
            return x < 0.5 ? 1.0f : 0.0f;
        case 22:
            return x < 0.25 ? 1.0f : (x >= 0.5 && x < 0.75 ? -1.0f : 0.0f);
        case 30:
            return x < 0.25 ? 1.0f : -1.0f / 3.0f;
        default:
            break;
    }
    if (ws >= 8 && ws <= 13) {
        return ClippedTop(FamilyShape(Sine, ws - 8, x));
    }
    if (ws >= 16 && ws <= 21) {
        return FamilyShape(Triangle, ws - 16, x);
    }
    if (ws >= 24 && ws <= 29) {
        return FamilyShape(Sawtooth, ws - 24, x);
    }
    return 0.0f;
}

using WaveformSet = std::array<Waveform, kWaveformCount>;

const WaveformSet& Waveforms() {
    static const WaveformSet waveforms = [] {
        WaveformSet set{};
        for (int ws = 0; ws < kWaveformCount; ++ws) {
            for (int i = 0; i < kWaveformLength; ++i) {
                set[ws][i] = WaveformValue(ws, static_cast<double>(i) / kWaveformLength);
            }
        }
        return set;
    }();
    return waveforms;
}

}  // namespace

const Waveform& WaveformTable(int ws) {
    return Waveforms()[ws & (kWaveformCount - 1)];
}

}  // namespace rolvik::synth
