#pragma once

#include <cstdint>

#include "Bytes.h"
#include "Chunk.h"

namespace rolvik {

// The check code that closes a SMAF file: CRC-16/GENIBUS (polynomial 0x1021, initial value 0xFFFF,
// most significant bit first, no reflection, final value inverted).
std::uint16_t SmafCheckCode(Bytes bytes);

// Whether the last two contents bytes of a whole file chunk ("MMMD", found in a file image) are the
// check code of its bytes before them, header included.
bool CheckCodeMatches(const Chunk& file);

// Whether the file image holds a whole "MMMD" chunk whose last two contents bytes (high byte first)
// are the check code of the chunk's bytes before them, header included.
bool HasValidCheckCode(Bytes fileImage);

}  // namespace rolvik
