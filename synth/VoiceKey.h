#pragma once

#include <compare>
#include <cstdint>

namespace rolvik::synth {

constexpr std::uint8_t kMelodyBank = 124;  // bank select MSB of melody voices
constexpr std::uint8_t kDrumBank = 125;    // bank select MSB of drum voices

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
