#pragma once

#include <cstdint>

#include "Bytes.h"

namespace rolvik {

// The check code that closes a SMAF file: CRC-16/GENIBUS (polynomial 0x1021, initial value 0xFFFF,
// most significant bit first, no reflection, final value inverted).
std::uint16_t SmafCheckCode(Bytes bytes);

// Whether the file image holds a whole "MMMD" chunk whose last two contents bytes (high byte first)
// are the check code of the chunk's bytes before them, header included.
bool HasValidCheckCode(Bytes fileImage);

}  // namespace rolvik
