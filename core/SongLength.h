#pragma once

#include <cstdint>

#include "Smaf.h"

namespace rolvik {

// Where the song ends, in ms: the time of its last event (the end of sequence, where there is
// one) or the end of a note that rings on past it, whichever is later; 0 for an empty list.
std::uint32_t SongLength(const Smaf& smaf);

}  // namespace rolvik
