#pragma once

#include <string>
#include <string_view>

namespace rolvik::cli {

// Decodes text in the program's code page (CP932, Shift-JIS) to UTF-8. Bytes that are not valid
// Shift-JIS become U+FFFD, one for each byte, so nothing is dropped without a trace.
std::string ShiftJisToUtf8(std::string_view text);

}  // namespace rolvik::cli
