#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace rolvik {

// Decodes text copied out of a file to UTF-8 by the contents code the file declares for it
// (0x00 Shift-JIS, 0x01 Latin-1, 0x02 EUC-KR, 0x23 UTF-8, ...). A code without a decoder here is
// read as Shift-JIS, the code page of the phones the format began on. Bytes that the code cannot
// decode become U+FFFD, one for each byte, so nothing is dropped without a trace.
std::string DecodeContentsText(std::string_view text, std::uint8_t contentsCode);

// Encodes UTF-8 text in the character set of a contents code; none when a character has no place
// in it (or the text is not UTF-8).
std::optional<std::string> EncodeContentsText(std::string_view utf8, std::uint8_t contentsCode);

}  // namespace rolvik
