#include "SevenBitGroups.h"

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

}  // namespace rolvik
