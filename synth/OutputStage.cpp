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
        left[i] = left_.Next(left[i]);
        right[i] = right_.Next(right[i]);
        limiter_.Process(left[i], right[i]);
    }
}

}  // namespace rolvik::synth
