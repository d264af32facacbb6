#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/Bytes.h"

namespace rolvik::tools {

// The GENMIDI lump of the DMX sound library ("#OPL_II#"): 175 instruments of two OPL2 voices each,
// then their names. Instruments 0 to 127 are the General MIDI melody programs, 128 to 174 the
// percussion keys 35 to 81.

inline constexpr std::size_t kGenMidiInstrumentCount = 175;
inline constexpr std::size_t kGenMidiMelodyCount = 128;
inline constexpr std::uint8_t kGenMidiFirstDrumKey = 35;

// One OPL2 operator as the lump stores it: the raw register values.
struct GenMidiOperator {
    std::uint8_t characteristic = 0;  // register 20h: AM, VIB, EG type, KSR, MULT
    std::uint8_t attackDecay = 0;     // register 60h: AR, DR
    std::uint8_t sustainRelease = 0;  // register 80h: SL, RR
    std::uint8_t waveform = 0;        // register E0h: WS
    std::uint8_t keyScale = 0;        // the KSL bits, in bits 7 and 6 as register 40h holds them
    std::uint8_t level = 0;           // TL, 0 loudest to 63
};

struct GenMidiVoice {
    GenMidiOperator modulator;
    std::uint8_t feedback = 0;  // register C0h: feedback in bits 3..1, connection in bit 0
    GenMidiOperator carrier;
    std::int16_t noteOffsetSemitones = 0;
};

struct GenMidiInstrument {
    std::uint16_t flags = 0;
    std::uint8_t fineTune = 128;  // detune of the second voice; 128 is none
    std::uint8_t fixedNote = 0;   // the note a fixed-pitch instrument always sounds
    std::array<GenMidiVoice, 2> voices;
    std::string name;  // up to 32 characters

    bool FixedPitch() const { return (flags & 0x0001) != 0; }
    bool TwoVoices() const { return (flags & 0x0004) != 0; }
};

// The instruments in lump order, or nothing when the bytes are not a whole GENMIDI lump.
std::optional<std::vector<GenMidiInstrument>> ParseGenMidi(Bytes lump);

}  // namespace rolvik::tools
