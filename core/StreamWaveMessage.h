#pragma once

#include <cstdint>

#include "Bytes.h"
#include "WaveBank.h"

namespace rolvik {

// The stream waves of a song travel from the player to the engine as exclusives of our own
// (non-commercial ID 0x7D), so that notes sent one by one find the same waves as the engine's
// sequencer, which reads them from the file:
//
//   F0 7D 52 56 01 [the wave's number and its "Mwa" contents, in seven-bit groups] F7

ByteVector MakeStreamWaveMessage(const StreamWaveChunk& wave);

// The number and the unpacked contents of such a message; false when it is none.
bool ReadStreamWaveMessage(Bytes message, std::uint8_t& number, ByteVector& contents);

}  // namespace rolvik
