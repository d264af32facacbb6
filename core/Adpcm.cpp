#include "Adpcm.h"

#include <algorithm>
#include <array>

namespace rolvik {
namespace {

// Step scale factors in 1/256, by the code's magnitude bits: small codes shrink the step, large
// ones widen it.
constexpr std::array<std::int32_t, 8> kStepFactors = {230, 230, 230, 230, 307, 409, 512, 614};

}  // namespace

std::int16_t AdpcmDecoder::Decode(std::uint8_t code) {
    // (2 × magnitude + 1) / 8 of the step, summed from its shifted parts as the chip does, so that
    // the rounding matches sample for sample.
    std::int32_t delta = step_ / 8;
    if ((code & 0x01) != 0) {
        delta += step_ / 4;
    }
    if ((code & 0x02) != 0) {
        delta += step_ / 2;
    }
    if ((code & 0x04) != 0) {
        delta += step_;
    }
    if ((code & 0x08) != 0) {
        delta = -delta;
    }
    predictor_ = std::clamp(predictor_ + delta, std::int32_t{-32768}, std::int32_t{32767});
    step_ = std::clamp(step_ * kStepFactors[code & 0x07] / 256, kMinStep, kMaxStep);
    return static_cast<std::int16_t>(predictor_);
}

std::vector<std::int16_t> DecodeAdpcm(Bytes codes) {
    std::vector<std::int16_t> samples;
    samples.reserve(codes.size() * 2);
    AdpcmDecoder decoder;
    for (const std::uint8_t byte : codes) {
        samples.push_back(decoder.Decode(byte & 0x0F));
        samples.push_back(decoder.Decode(byte >> 4));
    }
    return samples;
}

std::vector<std::int16_t> DecodeStereoAdpcm(Bytes codes) {
    std::vector<std::int16_t> samples;
    samples.reserve(codes.size() * 2);
    AdpcmDecoder left;
    AdpcmDecoder right;
    for (const std::uint8_t byte : codes) {
        samples.push_back(left.Decode(byte & 0x0F));
        samples.push_back(right.Decode(byte >> 4));
    }
    return samples;
}

}  // namespace rolvik
