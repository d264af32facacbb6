#include "LoudnessMeter.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <new>

namespace rolvik {
namespace {

constexpr unsigned kChannels = 2;

double FactorOfDecibels(double decibels) {
    return std::pow(10.0, decibels / 20.0);
}

}  // namespace

struct LoudnessMeter::State {
    explicit State(ebur128_state* opened) : meter(opened) {}
    ebur128_state* meter;
};

LoudnessMeter::LoudnessMeter(int sampleRateHz)
    : state_(
          std::make_unique<State>(ebur128_init(kChannels, static_cast<unsigned long>(sampleRateHz),
                                               EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK))) {
    if (state_->meter == nullptr) {
        throw std::bad_alloc();
    }
}

LoudnessMeter::~LoudnessMeter() {
    ebur128_destroy(&state_->meter);
}

void LoudnessMeter::Add(const float* interleaved, int frames) {
    ebur128_add_frames_float(state_->meter, interleaved, static_cast<std::size_t>(frames));
}

double LoudnessMeter::GainFor(double targetLufs, double maxTruePeakDbtp) const {
    double loudness = 0;
    if (ebur128_loudness_global(state_->meter, &loudness) != EBUR128_SUCCESS ||
        !std::isfinite(loudness)) {
        return 1.0;
    }
    double peak = 0;
    for (unsigned channel = 0; channel < kChannels; ++channel) {
        double channelPeak = 0;
        ebur128_true_peak(state_->meter, channel, &channelPeak);
        peak = std::max(peak, channelPeak);
    }
    double gain = FactorOfDecibels(targetLufs - loudness);
    if (peak > 0) {
        gain = std::min(gain, FactorOfDecibels(maxTruePeakDbtp) / peak);
    }
    return gain;
}

}  // namespace rolvik
