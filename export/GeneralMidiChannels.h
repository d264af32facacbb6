#pragma once

#include <array>
#include <cstdint>

#include "HandyPhoneChannels.h"
#include "core/Bytes.h"
#include "core/ScoreTrack.h"
#include "core/Smaf.h"

namespace rolvik {

constexpr std::uint8_t kGeneralMidiDrumChannel = 9;  // "channel 10" counted from 1

// Source channel -> output channel.
using ChannelMap = std::array<std::uint8_t, 16>;

ChannelMap IdentityChannels();

// Moves every drum channel to channel 9, where General MIDI plays drums: the channels that select
// the drum bank and the HandyPhone Standard rhythm channels. Channel 9 is a drum channel unless it
// plays a melody: a HandyPhone channel not marked rhythm, or a channel that selects the melody bank
// and never the drum bank (with no bank select, or bank 0, the chip starts it as drums). Such a
// melody moves to a free channel, first one the drums left, else one no event uses; it stays only
// when all sixteen are taken.
ChannelMap GeneralMidiChannels(const Smaf& document, const HandyPhoneChannels& handyPhone);

// An exclusive body (the bytes after F0) addressed to the chip itself: Yamaha's messages for the MA
// chips (43 79 for MA-3 and later, 43 0n for the older ones). Yamaha parameter changes (43 1n, as
// XG uses them) are kept for the players that know them.
bool IsChipExclusive(Bytes body);

}  // namespace rolvik
