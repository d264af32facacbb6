#pragma once

#include <cstddef>
#include <cstdint>

#include "Bytes.h"

namespace rolvik {

// The first byte of a score track's contents: how its sequence is written.
constexpr std::uint8_t kHandyPhoneStandard = 0;        // MA-1/2 two-byte format
constexpr std::uint8_t kMobileStandardCompressed = 1;  // MA-3/5 format, Huffman-coded sequence
constexpr std::uint8_t kMobileStandard = 2;            // MA-3/5 format
constexpr std::uint8_t kMa7 = 3;                       // MA-7 format, which nothing here converts

// The fixed header before a score track's chunk run: format, sequence type, the two timebase codes
// and the channel status (2 bytes for HandyPhone Standard, 16 for Mobile Standard).
constexpr std::size_t kHandyPhoneHeaderSize = 6;
constexpr std::size_t kMobileStandardHeaderSize = 20;
constexpr std::size_t kChannelStatusOffset = 4;

// The status nibble (KCS, VS, then the two ChType bits) of HandyPhone Standard track channel 0..3:
// the two status bytes hold two channels each, the first in the high bits. `status` holds both.
inline std::uint8_t HandyPhoneChannelStatus(Bytes status, unsigned trackChannel) {
    const std::uint8_t byte = status[trackChannel / 2];
    return static_cast<std::uint8_t>(trackChannel % 2 == 0 ? byte >> 4 : byte & 0x0F);
}

// The bits of a HandyPhone Standard channel's status nibble: key control (KCS), vibration (VS) and
// the channel type (ChType).
constexpr std::uint8_t kHandyPhoneKeyControl = 0x08;
constexpr std::uint8_t kHandyPhoneVibration = 0x04;
// The bits of a Mobile Standard channel status byte: key control (two bits), vibration, LED and
// the channel type.
constexpr std::uint8_t kKeyControlOn = 0x80;
constexpr std::uint8_t kKeyControlOff = 0x40;
constexpr std::uint8_t kVibration = 0x20;
constexpr std::uint8_t kLed = 0x10;
// The channel type, the low two bits in both formats; 3 marks a rhythm channel.
constexpr std::uint8_t kChannelTypeBits = 0x03;
constexpr std::uint8_t kRhythmChannel = 3;

// Each score track chunk of a file, counted in file order, places its HandyPhone Standard channels
// four document channels further on (modulo 16).
constexpr unsigned kChannelsPerHandyPhoneTrack = 4;

// Bank select MSBs of the chip's own voices: melody voices and drum voices.
constexpr std::uint8_t kMelodyBank = 124;
constexpr std::uint8_t kDrumBank = 125;

}  // namespace rolvik
