#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "GenMidi.h"

namespace rolvik::tools {

// The FM voice parameters of one voice definition, in the units of the voice message.
struct FmOperatorParameters {
    std::uint8_t multi = 1;  // 4 bits, index into the frequency multiplier table
    std::uint8_t dt = 0;     // 3 bits
    std::uint8_t ar = 0;     // 4 bits each: attack, decay, sustain and release rates, sustain level
    std::uint8_t dr = 0;
    std::uint8_t sr = 0;
    std::uint8_t rr = 0;
    std::uint8_t sl = 0;
    std::uint8_t tl = 0;   // 6 bits, 0.75 dB of attenuation a step
    std::uint8_t ksl = 0;  // 2 bits
    std::uint8_t amDepth = 0;
    std::uint8_t vibDepth = 0;
    std::uint8_t fb = 0;  // 3 bits
    std::uint8_t ws = 0;  // 5 bits
    bool xof = false;
    bool sus = false;
    bool ksr = false;
    bool amEnable = false;
    bool vibEnable = false;
};

struct FmVoiceParameters {
    std::string name;
    std::uint8_t drumKey = 0;  // the note a drum voice sounds at
    std::uint8_t lfo = 0;      // 2 bits
    std::uint8_t panpot = 0;   // 5 bits
    bool panpotEnable = false;
    std::uint8_t algorithm = 0;  // 3 bits: 0 and 1 use operators 1 and 2, 2 to 7 all four
    std::array<FmOperatorParameters, 4> operators;
};

// The panpot of the centre; the voices leave panning to the channel.
inline constexpr std::uint8_t kCentrePanpot = 15;

// A melody program's voice: modulator and carrier of the first OPL2 voice become operators 1 and 2;
// a second voice of the instrument becomes operators 3 and 4. Octave note offsets are folded into
// the frequency multipliers where every operator of the pair allows it.
FmVoiceParameters MelodyVoiceFromGenMidi(const GenMidiInstrument& instrument);

// A percussion key's voice: as a melody voice, sounding at the instrument's fixed note, or at the
// key itself shifted by the note offset when the instrument has no fixed pitch.
FmVoiceParameters DrumVoiceFromGenMidi(const GenMidiInstrument& instrument, std::uint8_t key);

}  // namespace rolvik::tools
