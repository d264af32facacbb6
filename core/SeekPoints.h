#pragma once

#include <cstdint>
#include <optional>

#include "Bytes.h"

namespace rolvik {

// Where a track's sequence starts and stops playing: byte offsets into its sequence data, each
// naming the first byte of an event.
struct SeekPoints {
    std::optional<std::uint32_t> start;
    std::optional<std::uint32_t> stop;
};

// Reads the "st" and "sp" items of a track's seek and phrase information ("MspI", "AspI") into
// `points`. Any other tag ends the reading.
void ReadSeekPoints(Bytes info, SeekPoints& points);

}  // namespace rolvik
