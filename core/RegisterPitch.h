#pragma once

#include <cstdint>
#include <optional>

namespace rolvik {

// The pitch, in semitones of MIDI note numbers, of a frequency written to the FM registers of the
// older chips: F-number × 49716 / 2^(20 − block) Hz. None for F-number 0, which sounds nothing.
std::optional<double> RegisterPitch(std::uint16_t fNumber, std::uint8_t block);

}  // namespace rolvik
