#include "OutputStage.h"

#include <cmath>
#include <numbers>

#include "AudioOutput.h"

namespace rolvik::synth {
namespace {

// Low enough to leave every note's fundamental alone, high enough that an offset is gone within
// a few tens of ms.
constexpr double kDcCutoffHz = 20.0;
const double kPole = std::exp(-2.0 * std::numbers::pi * kDcCutoffHz / kOutputSampleRateHz);
// Scales each section to unity gain at high frequencies.
const double kSectionGain = (1.0 + kPole) / 2.0;

// The mix is lowered by this much before it is limited, so that a full phone's worth of notes
// stays clear of full scale.
constexpr float kMixGain = 0.5f;

// Above this level the output bends smoothly towards full scale instead of clipping.
constexpr float kLimiterKnee = 0.75f;

float Limit(float sample) {
    const float magnitude = std::fabs(sample);
    if (magnitude <= kLimiterKnee) {
        return sample;
    }
    const float headroom = 1.0f - kLimiterKnee;
    const float limited =
        kLimiterKnee + headroom * std::tanh((magnitude - kLimiterKnee) / headroom);
    return std::copysign(limited, sample);
}

}  // namespace

float OutputStage::DcBlocker::Next(float input) {
    double value = input;
    for (Section& section : sections_) {
        const double output = kSectionGain * (value - section.input) + kPole * section.output;
        section.input = value;
        section.output = output;
        value = output;
    }
    return static_cast<float>(value);
}

void OutputStage::Process(float* left, float* right, int frames) {
    for (int i = 0; i < frames; ++i) {
        left[i] = Limit(left_.Next(left[i] * kMixGain));
        right[i] = Limit(right_.Next(right[i] * kMixGain));
    }
}

}  // namespace rolvik::synth
