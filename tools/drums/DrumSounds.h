#pragma once

#include <cstdint>
#include <vector>

#include "synth/ChipDrums.h"

namespace rolvik::drums {

// One of our drum waves, drawn in code for the layout it must keep: falling sines for the kick
// and the tom, noise and clanging square waves for the snare, hi-hats and cymbals. The same call
// always gives the same samples.
std::vector<std::int16_t> DrawChipDrum(synth::ChipDrum drum);

}  // namespace rolvik::drums
