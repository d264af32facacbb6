#include "ChipDrums.h"

#include <span>

namespace rolvik::synth {
namespace {

#include "ChipDrumWaves.inc"

std::array<Wave, kChipDrumCount> MakeWaves() {
    std::array<Wave, kChipDrumCount> waves;
    for (int i = 0; i < kChipDrumCount; ++i) {
        waves[i].rateHz = kChipDrumLayouts[i].rateHz;
        waves[i].samples.assign(kChipDrumSamples[i].begin(), kChipDrumSamples[i].end());
    }
    return waves;
}

// Made when the program starts rather than at first use, so that the audio thread never waits on
// a first-use guard.
const std::array<Wave, kChipDrumCount> kWaves = MakeWaves();

}  // namespace

const Wave* ChipDrumWave(int number) {
    return number >= 0 && number < kChipDrumCount ? &kWaves[number] : nullptr;
}

}  // namespace rolvik::synth
