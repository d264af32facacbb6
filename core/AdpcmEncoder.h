#pragma once

#include <cstdint>
#include <span>

#include "Bytes.h"

namespace rolvik {

// Encodes mono 16-bit samples into the 4-bit ADPCM that DecodeAdpcm reads: two codes a byte, the
// low nibble first. The encoder runs the decoder's own state machine, so that what a player decodes
// is exactly what the encoder predicted, and picks for each sample the code that, together with the
// best code for the next sample, gives the least squared error. An odd count gets one more code
// that holds the last sample.
ByteVector EncodeAdpcm(std::span<const std::int16_t> samples);

}  // namespace rolvik
