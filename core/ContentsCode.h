#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rolvik {

// Decodes text copied out of a file to UTF-8 by the contents code the file declares for it
// (0x00 Shift-JIS, 0x01 Latin-1, 0x02 EUC-KR, 0x23 UTF-8, ...). A code without a decoder here is
// read as Shift-JIS, the code page of the phones the format began on. Bytes that the code cannot
// decode become U+FFFD, one for each byte, so nothing is dropped without a trace.
// UCS-2, UCS-4, UTF-16 and UTF-32 text is big-endian unless it begins with a byte order mark that
// says otherwise; the mark itself is not shown.
std::string DecodeContentsText(std::string_view text, std::uint8_t contentsCode);

// The bytes of one code unit of the contents code: 2 for UCS-2 and UTF-16, 4 for UCS-4 and
// UTF-32, 1 for every other code. Text in such a code ends at its first zero code unit, not at a
// zero byte, which most of its characters hold.
std::size_t CodeUnitBytes(std::uint8_t contentsCode);

// Encodes UTF-8 text in the character set of a contents code; none when a character has no place
// in it (or the text is not UTF-8).
std::optional<std::string> EncodeContentsText(std::string_view utf8, std::uint8_t contentsCode);

}  // namespace rolvik
