#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "ByteReader.h"
#include "Bytes.h"

namespace rolvik {

// Variable-length numbers: 7 bits a byte, most significant group first, bit 7 set on every byte but
// the last. Values wider than 32 bits lose their top bits, as the format's readers always have.

// The longest number the format writes: four bytes carry 28 bits.
constexpr std::size_t kLongestNumberBytes = 4;

// Decodes the number at the cursor and moves past it; "not there" (cursor unchanged) when the
// bytes end before a byte with bit 7 clear.
std::optional<std::uint32_t> ReadNumber(ByteReader& cursor);

// Decodes the number at the start of `bytes` without a cursor; a number cut short by the end of
// the bytes decodes from what is there.
std::uint32_t PeekNumber(Bytes bytes);

// The count of bytes up to and including the first with bit 7 clear, at most bytes.size().
std::size_t NumberLength(Bytes bytes);

// The number of bytes WriteNumber uses for `value`: 1 to 4 (5 for values of 2^28 or more).
std::size_t EncodedNumberSize(std::uint32_t value);

// Appends the minimal encoding of `value` and returns the number of bytes written.
std::size_t WriteNumber(ByteVector& output, std::uint32_t value);

// Writes the encoding at the start of `output`, which the caller has sized with EncodedNumberSize.
std::size_t WriteNumber(std::span<std::uint8_t> output, std::uint32_t value);

// The two-byte number of the older score-track format: one byte below 0x80, otherwise
// ((first & 0x7F) + 1) * 128 | second. "Not there" (cursor unchanged) when cut short.
std::optional<std::uint32_t> ReadShortNumber(ByteReader& cursor);

// The largest value a two-byte number holds.
inline constexpr std::uint32_t kMaxShortNumber = 16511;

// Appends the two-byte number form of `value`, at most kMaxShortNumber.
void WriteShortNumber(ByteVector& output, std::uint32_t value);

}  // namespace rolvik
