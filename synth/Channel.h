#pragma once

#include <cstdint>

#include "VoiceKey.h"

namespace rolvik::synth {

// Bit n set for channel n: the channels that start on the drum bank. Index 9 does, as in General
// MIDI; songs of the older format have no drum channel.
constexpr std::uint16_t kGeneralMidiDrumChannels = 1u << 9;

// The state a MIDI channel keeps between messages.
struct Channel {
    std::uint8_t bankMsb = kMelodyBank;
    std::uint8_t bankLsb = 0;
    std::uint8_t program = 0;
    std::uint8_t volume = 100;       // control change 7
    std::uint8_t expression = 127;   // control change 11
    std::uint8_t pan = 64;           // control change 10
    std::uint8_t modulation = 0;     // control change 1
    bool hold = false;               // control change 64
    std::uint16_t pitchBend = 8192;  // 14 bits, 8192 is the centre
    // Whether the channel plays drums. Only the melody and drum banks change it: songs converted
    // from General MIDI select bank 0 on their drum channel and still mean drums.
    bool drum = false;
    // The channel's FM registers as register-write exclusives leave them: the frequency of the
    // note they key on.
    std::uint16_t fNumber = 0;  // 10 bits
    std::uint8_t block = 0;     // 3 bits, the octave

    static Channel Initial(bool drum) {
        Channel channel;
        if (drum) {
            channel.SelectBank(kDrumBank);
        }
        return channel;
    }

    void SelectBank(std::uint8_t msb) {
        bankMsb = msb;
        if (msb == kMelodyBank || msb == kDrumBank) {
            drum = msb == kDrumBank;
        }
    }

    bool isDrum() const { return drum; }
};

}  // namespace rolvik::synth
