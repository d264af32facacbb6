#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "ByteWriter.h"
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

// Writes one item of such information: its two-letter tag, a colon, the offset as four bytes and
// a comma.
void AppendSeekItem(ByteWriter& out, std::string_view tag, std::uint32_t offset);

}  // namespace rolvik
