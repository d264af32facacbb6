#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rolvik {

// A decoded wave of a song: 16-bit samples, interleaved left first when it has two channels.
struct Wave {
    std::uint32_t rateHz = 0;  // 0 when the wave does not say; the voice that plays it does
    int channels = 1;
    std::vector<std::int16_t> samples;

    std::size_t frames() const { return samples.size() / static_cast<std::size_t>(channels); }
};

}  // namespace rolvik
