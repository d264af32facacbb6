#pragma once

#include <compare>
#include <cstdint>

#include "core/ScoreTrack.h"

namespace rolvik::synth {

// Where a voice is assigned: bank MSB and LSB, program, and for drum voices the note. Melody
// voices answer every note, so their key always carries note 0.
struct VoiceKey {
    std::uint8_t bankMsb = 0;
    std::uint8_t bankLsb = 0;
    std::uint8_t program = 0;
    std::uint8_t note = 0;

    auto operator<=>(const VoiceKey&) const = default;
};

inline VoiceKey MakeVoiceKey(std::uint8_t bankMsb, std::uint8_t bankLsb, std::uint8_t program,
                             std::uint8_t note) {
    return {bankMsb, bankLsb, program, bankMsb == kDrumBank ? note : std::uint8_t{0}};
}

}  // namespace rolvik::synth
