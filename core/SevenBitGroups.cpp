#include "SevenBitGroups.h"

#include <algorithm>

namespace rolvik {

ByteVector UnpackSevenBitGroups(Bytes packed) {
    ByteVector bytes;
    bytes.reserve(packed.size());
    std::size_t i = 0;
    while (i < packed.size()) {
        const std::uint8_t flags = packed[i++];
        for (int k = 0; k < 7 && i < packed.size(); ++k, ++i) {
            const bool high = (flags & (0x40 >> k)) != 0;
            bytes.push_back(static_cast<std::uint8_t>(packed[i] | (high ? 0x80 : 0x00)));
        }
    }
    return bytes;
}

ByteVector PackSevenBitGroups(Bytes bytes) {
    ByteVector packed;
    packed.reserve(bytes.size() + bytes.size() / 7 + 1);
    for (std::size_t group = 0; group < bytes.size(); group += 7) {
        const std::size_t end = std::min(bytes.size(), group + 7);
        std::uint8_t flags = 0;
        for (std::size_t i = group; i < end; ++i) {
            if ((bytes[i] & 0x80) != 0) {
                flags |= static_cast<std::uint8_t>(0x40 >> (i - group));
            }
        }
        packed.push_back(flags);
        for (std::size_t i = group; i < end; ++i) {
            packed.push_back(bytes[i] & 0x7F);
        }
    }
    return packed;
}

}  // namespace rolvik
