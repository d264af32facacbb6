#pragma once

#include <cstdint>
#include <optional>

namespace rolvik {

// A score track states its duration and gate-time ticks as one of eight codes.
// 0x00 1 ms, 0x01 2, 0x02 4, 0x03 5, 0x10 10, 0x11 20, 0x12 40, 0x13 50.
std::optional<std::uint32_t> TimebaseMs(std::uint8_t code);
std::optional<std::uint8_t> TimebaseCode(std::uint32_t milliseconds);

}  // namespace rolvik
