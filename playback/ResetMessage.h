#pragma once

#include <array>
#include <cstdint>

namespace rolvik {

// The exclusive that resets the synthesiser; the master volume is sent again right after it.
inline constexpr std::array<std::uint8_t, 7> kResetMessage = {0xF0, 0x43, 0x79, 0x06,
                                                              0x7F, 0x7F, 0xF7};

}  // namespace rolvik
