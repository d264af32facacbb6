#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace rolvik {

// A read-only view of bytes that somebody else owns: a file image, a chunk's contents, an event's
// data. A chunk that is not there is an empty view, never a dangling pointer.
using Bytes = std::span<const std::uint8_t>;
using ByteVector = std::vector<std::uint8_t>;

}  // namespace rolvik
