#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rolvik {

// `text` followed by `value` as two upper-case hexadecimal digits, the form of every line that
// reports a value the report has no name for.
inline std::string WithHexByte(std::string_view text, std::uint8_t value) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    std::string line(text);
    line += kDigits[value >> 4];
    line += kDigits[value & 0x0F];
    return line;
}

}  // namespace rolvik
