#pragma once

#include <cstdint>

#include "VoiceKey.h"

namespace rolvik::synth {

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

    // Index 9 starts on the drum bank.
    static Channel Initial(int index) {
        Channel channel;
        if (index == 9) {
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
