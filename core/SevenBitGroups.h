#pragma once

#include "Bytes.h"

namespace rolvik {

// Data that must pass through a MIDI exclusive in seven-bit bytes: groups of up to seven bytes,
// each led by a flag byte whose bit 6 holds bit 7 of the group's first byte, bit 5 that of the
// second, and so on. Returns the bytes with their top bits put back.
ByteVector UnpackSevenBitGroups(Bytes packed);

// The reverse: any bytes in groups that a MIDI exclusive can carry.
ByteVector PackSevenBitGroups(Bytes bytes);

}  // namespace rolvik
