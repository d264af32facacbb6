#pragma once

#include <cstdint>
#include <span>

namespace rolvik {

// Gives every page of an Ogg stream the serial number `serial` and its checksum anew. The encoder
// picks the number at random, so the same song would give other bytes on every run.
void SetOggSerialNumber(std::span<std::uint8_t> stream, std::uint32_t serial);

}  // namespace rolvik
