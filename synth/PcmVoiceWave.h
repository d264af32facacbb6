#pragma once

#include <cstdint>

#include "core/Bytes.h"

namespace rolvik::synth {

// Where a sampled voice finds its sound, from its 16 parameter bytes:
//
//   Q0-Q1   sampling rate in Hz (big-endian)    Q11-Q12  loop start, in samples
//   Q13-Q14 end point, in samples               Q15      bit 7: the chip's own sample memory;
//                                                        bits 6-0: the wave number
//
// In songs the loop start and the end point never lie past the wave's length, and a voice whose
// loop start lies on (or one sample before) its end point plays once and stops.
struct PcmVoiceWave {
    std::uint16_t rateHz = 0;
    std::uint16_t loopStart = 0;
    std::uint16_t endPoint = 0;
    std::uint8_t waveId = 0;
    bool inChipMemory = false;
};

// Fewer than 16 bytes give a voice that names no wave of the song.
PcmVoiceWave ReadPcmVoiceWave(Bytes parameters);

}  // namespace rolvik::synth
