#include "AdpcmEncoder.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "Adpcm.h"

namespace rolvik {
namespace {

std::int64_t SquaredError(std::int32_t decoded, std::int32_t target) {
    const std::int64_t error = decoded - target;
    return error * error;
}

// The smallest squared error any code reaches on `target` from the decoder's state.
std::int64_t BestError(const AdpcmDecoder& decoder, std::int32_t target) {
    std::int64_t best = std::numeric_limits<std::int64_t>::max();
    for (std::uint8_t code = 0; code < 16; ++code) {
        AdpcmDecoder trial = decoder;
        best = std::min(best, SquaredError(trial.Decode(code), target));
    }
    return best;
}

// The code for `target` that, with the best code for the sample after it (`next`, when there is
// one), errs least; the decoder moves on by that code. Looking one sample ahead keeps the step
// from shrinking too far before a sudden rise, which a choice sample by sample cannot see coming.
std::uint8_t ChooseCode(AdpcmDecoder& decoder, std::int32_t target,
                        std::optional<std::int32_t> next) {
    std::uint8_t best = 0;
    std::int64_t bestError = std::numeric_limits<std::int64_t>::max();
    AdpcmDecoder bestState = decoder;
    for (std::uint8_t code = 0; code < 16; ++code) {
        AdpcmDecoder trial = decoder;
        std::int64_t error = SquaredError(trial.Decode(code), target);
        if (next && error < bestError) {
            error += BestError(trial, *next);
        }
        if (error < bestError) {
            best = code;
            bestError = error;
            bestState = trial;
        }
    }
    decoder = bestState;
    return best;
}

}  // namespace

ByteVector EncodeAdpcm(std::span<const std::int16_t> samples) {
    ByteVector codes;
    codes.reserve((samples.size() + 1) / 2);
    AdpcmDecoder decoder;
    // An odd count ends on a code that holds the last sample.
    const auto at = [&](std::size_t i) -> std::optional<std::int32_t> {
        if (i < samples.size()) {
            return samples[i];
        }
        return i == samples.size() && i % 2 == 1 ? std::optional<std::int32_t>(samples.back())
                                                 : std::nullopt;
    };
    for (std::size_t i = 0; i < samples.size(); i += 2) {
        const std::uint8_t low = ChooseCode(decoder, samples[i], at(i + 1));
        const std::uint8_t high = ChooseCode(decoder, *at(i + 1), at(i + 2));
        codes.push_back(static_cast<std::uint8_t>(low | (high << 4)));
    }
    return codes;
}

}  // namespace rolvik
