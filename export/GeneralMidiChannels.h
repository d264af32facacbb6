#pragma once

#include <array>
#include <cstdint>

#include "core/Bytes.h"
#include "core/ScoreTrack.h"
#include "core/Smaf.h"

namespace rolvik {

// The chip's bank-select MSB values: melody voices and drum voices.
constexpr std::uint8_t kGeneralMidiDrumChannel = 9;  // "channel 10" counted from 1

// Source channel -> output channel.
using ChannelMap = std::array<std::uint8_t, 16>;

ChannelMap IdentityChannels();

// Moves every channel that selects the drum bank to channel 9, where General MIDI plays drums, and
// the melody channel found there to the first of those channels. Channel 9 selecting no bank counts
// as drums already, as the chip starts it in the drum bank.
ChannelMap GeneralMidiChannels(const Smaf& document);

// An exclusive body (the bytes after F0) addressed to the chip itself: Yamaha's messages for the MA
// chips (43 79 for MA-3 and later, 43 0n for the older ones). Yamaha parameter changes (43 1n, as
// XG uses them) are kept for the players that know them.
bool IsChipExclusive(Bytes body);

}  // namespace rolvik
