#pragma once

#include <cstddef>
#include <cstdint>

#include "Bytes.h"

namespace rolvik {

// A cursor over bit-packed bytes, most significant bit first: bit 7 of a byte is read before bit 6.
// It never reads past its bytes; once they are used up every read reports end-of-data.
struct BitReader {
    Bytes bytes;
    std::size_t nextByte = 0;  // index of the byte loaded when the current one is used up
    std::uint8_t currentByte = 0;
    unsigned bitsUsed = 8;  // 8: no byte is loaded, the next read loads one
};

inline constexpr int kEndOfData = -1;

// A reader positioned before the first bit of `bytes`.
BitReader NewBitReader(Bytes bytes);

// True when every bit has been read, so that every further read reports end-of-data.
inline bool AtEndOfData(const BitReader& reader) {
    return reader.bitsUsed == 8 && reader.nextByte >= reader.bytes.size();
}

// The next bit (0 or 1), or kEndOfData when every byte has been read; it stays at the end after
// that.
int ReadBit(BitReader& reader);

// The next `count` bits (at most 32) as a number, the first bit read most significant; 0 when the
// bytes end on the way.
std::uint32_t ReadBits(BitReader& reader, unsigned count);

}  // namespace rolvik
