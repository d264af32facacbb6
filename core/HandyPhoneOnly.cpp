#include "HandyPhoneOnly.h"

#include "ByteReader.h"
#include "Chunk.h"
#include "ScoreTrack.h"
#include "ScoreTrackWalker.h"

namespace rolvik {

bool IsHandyPhoneOnly(Bytes fileImage) {
    bool handyPhoneTrack = false;
    ScoreTrackWalker tracks(FileChunkRun(fileImage));
    while (auto track = tracks.Next()) {
        const std::optional<std::uint8_t> format = ByteReader(track->chunk.contents).PeekByte();
        if (!format) {
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
