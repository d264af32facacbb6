#include "JsonString.h"

#include <cstdio>

namespace rolvik {

std::string JsonString(std::string_view text) {
    std::string quoted = "\"";
    for (const char character : text) {
        const auto byte = static_cast<unsigned char>(character);
        if (character == '"' || character == '\\') {
            quoted += '\\';
            quoted += character;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", unsigned{byte});
            quoted += escape;
        } else {
            quoted += character;
        }
    }
    quoted += '"';
    return quoted;
}

}  // namespace rolvik
