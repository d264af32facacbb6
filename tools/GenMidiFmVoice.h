#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "GenMidi.h"
#include "playback/Voice.h"

namespace rolvik::tools {

// The FM voice parameters of one voice definition, in the units of the voice message. Operators a
// voice does not use stay zero.
struct FmVoiceParameters {
    std::string name;
    std::uint8_t drumKey = 0;      // the note a drum voice sounds at
    std::uint8_t panpot = 0;       // 5 bits
    std::uint8_t basicOctave = 0;  // 2 bits: each step sounds an octave lower
    std::uint8_t lfo = 0;          // 2 bits
    bool panpotEnable = false;
    std::uint8_t algorithm = 0;  // 3 bits: 0 and 1 use operators 1 and 2, 2 to 7 all four
    std::array<VoiceOperator, 4> operators{};
};

// The bytes of an FM voice as the voice message carries them before its 7-bit packing (and as
// the voice-set file keeps them): drum key, panpot and basic octave, LFO, panpot enable and
// algorithm, then 7 bytes for each of the four operators.
inline constexpr std::size_t kFmVoiceBytes = 31;
std::array<std::uint8_t, kFmVoiceBytes> FmVoiceBytes(const FmVoiceParameters& fm);

// The panpot of the centre; the voices leave panning to the channel.
inline constexpr std::uint8_t kCentrePanpot = 15;

// A melody program's voice. Modulator and carrier of the first OPL2 voice become operators 1 and 2,
// those of a second voice operators 3 and 4. The DMX driver sounds every note an octave above its
// number, so a note offset of -12 is the true pitch; other offsets move the voice by octaves.
FmVoiceParameters MelodyVoiceFromGenMidi(const GenMidiInstrument& instrument);

// The percussion key 35..81 whose instrument voices `key`: the key itself, or, when its own
// instrument is silent ("Null Instrument"), a kindred drum that stands in for it.
std::uint8_t DrumSourceKey(const std::vector<GenMidiInstrument>& instruments, std::uint8_t key);

// The voice of a percussion key 35..81 from the whole lump's instruments: that of its source key
// (see DrumSourceKey), tuned by the distance between the two keys, under the key's own name.
FmVoiceParameters DrumVoiceFromGenMidi(const std::vector<GenMidiInstrument>& instruments,
                                       std::uint8_t key);

}  // namespace rolvik::tools
