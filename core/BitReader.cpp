#include "BitReader.h"

namespace rolvik {

BitReader NewBitReader(Bytes bytes) {
    BitReader reader;
    reader.bytes = bytes;
    return reader;
}

int ReadBit(BitReader& reader) {
    if (reader.bitsUsed == 8) {
        if (reader.nextByte >= reader.bytes.size()) {
            return kEndOfData;
        }
        reader.currentByte = reader.bytes[reader.nextByte++];
        reader.bitsUsed = 0;
    }
    const int bit = (reader.currentByte >> (7 - reader.bitsUsed)) & 1;
    ++reader.bitsUsed;
    return bit;
}

std::uint32_t ReadBits(BitReader& reader, unsigned count) {
    std::uint32_t value = 0;
    for (unsigned i = 0; i < count; ++i) {
        const int bit = ReadBit(reader);
        if (bit == kEndOfData) {
            return 0;
        }
        value = (value << 1) | static_cast<std::uint32_t>(bit);
    }
    return value;
}

}  // namespace rolvik
