#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace rolvik {

// Appends `value` as two upper-case hexadecimal digits.
inline void AppendHexByte(std::string& text, std::uint8_t value) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    text += kDigits[value >> 4];
    text += kDigits[value & 0x0F];
}

// `text` followed by `value` as two upper-case hexadecimal digits, the form of every line that
// reports a value the report has no name for.
inline std::string WithHexByte(std::string_view text, std::uint8_t value) {
    std::string line(text);
    AppendHexByte(line, value);
    return line;
}

}  // namespace rolvik
