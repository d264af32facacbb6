#pragma once

#include <bitset>

#include "core/Smaf.h"

namespace rolvik {

// The document channels that HandyPhone Standard tracks of the file image play on, and those of
// them that play drums: the chip plays such a channel's notes each on the drum key given by the
// channel's program number. A track header marks a rhythm channel (ChType 3), and so does a bank
// select with bit 7 set, the drum banks of these tracks: songs whose headers say "no care" select
// one on exactly the channels whose programs are drum keys.
struct HandyPhoneChannels {
    std::bitset<16> all;
    std::bitset<16> rhythm;
};

// Reads the track headers of the document's file image and the bank selects of its events; the
// channels of the track chunk at
// position k (counted from 0) are 4k to 4k + 3, modulo 16, as the loader places them.
HandyPhoneChannels FindHandyPhoneChannels(const Smaf& document);

}  // namespace rolvik
