#include "Timebase.h"

#include <array>
#include <utility>

namespace rolvik {
namespace {

constexpr std::array<std::pair<std::uint8_t, std::uint32_t>, 8> kTimebases{{
    {0x00, 1},
    {0x01, 2},
    {0x02, 4},
    {0x03, 5},
    {0x10, 10},
    {0x11, 20},
    {0x12, 40},
    {0x13, 50},
}};

}  // namespace

std::optional<std::uint32_t> TimebaseMs(std::uint8_t code) {
    for (const auto& [known, milliseconds] : kTimebases) {
        if (known == code) {
            return milliseconds;
        }
    }
    return std::nullopt;
}

std::optional<std::uint8_t> TimebaseCode(std::uint32_t milliseconds) {
    for (const auto& [code, known] : kTimebases) {
        if (known == milliseconds) {
            return code;
        }
    }
    return std::nullopt;
}

}  // namespace rolvik
