#pragma once

#include <cstdint>
#include <vector>

#include "Bytes.h"

namespace rolvik {

// The 4-bit ADPCM of Yamaha's sound chips: each code moves the predictor by a multiple of the
// current step and scales the step for the next code.
class AdpcmDecoder {
  public:
    static constexpr std::int32_t kMinStep = 127;
    static constexpr std::int32_t kMaxStep = 24576;

    // Decodes one code (its low four bits) into the next sample.
    std::int16_t Decode(std::uint8_t code);

  private:
    std::int32_t predictor_ = 0;
    std::int32_t step_ = kMinStep;
};

// A mono wave: two codes a byte, the low nibble first.
std::vector<std::int16_t> DecodeAdpcm(Bytes codes);

// A stereo wave: each byte holds one code for each side, the left one in the low nibble; the two
// sides run their own decoders. The samples come out interleaved, left first.
std::vector<std::int16_t> DecodeStereoAdpcm(Bytes codes);

}  // namespace rolvik
