#include "HandyPhoneOnly.h"

#include "ByteReader.h"
#include "Chunk.h"
#include "ScoreTrack.h"

namespace rolvik {

bool IsHandyPhoneOnly(Bytes fileImage) {
    bool handyPhoneTrack = false;
    ChunkWalker walker(FileChunkRun(fileImage));
    while (auto entry = walker.Next()) {
        const std::optional<std::uint8_t> format = ByteReader(entry->chunk.contents).PeekByte();
        if (!BytesEqual(entry->id.first(3), "MTR") || !format) {
            continue;
        }
        if (*format == kMobileStandardCompressed || *format == kMobileStandard) {
            return false;
        }
        handyPhoneTrack = handyPhoneTrack || *format == kHandyPhoneStandard;
    }
    return handyPhoneTrack;
}

}  // namespace rolvik
