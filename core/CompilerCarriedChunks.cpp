#include "CompilerCarriedChunks.h"

#include <algorithm>

#include "Chunk.h"
#include "ScoreTrack.h"

namespace rolvik {
namespace {

// A HandyPhone Standard channel's four bits (KCS, VS, ChType) as a Mobile Standard channel status
// byte: key control on or off, vibration, and the same channel type.
std::uint8_t MobileChannelStatus(std::uint8_t nibble) {
    std::uint8_t status = (nibble & kHandyPhoneKeyControl) != 0 ? kKeyControlOn : kKeyControlOff;
    if ((nibble & kHandyPhoneVibration) != 0) {
        status |= kVibration;
    }
    return static_cast<std::uint8_t>(status | (nibble & kChannelTypeBits));
}

// A HandyPhone track's four channels land where the loader puts them.
void ReadHandyPhoneStatus(const ScoreTrackView& track, CarriedChunks& carried) {
    for (unsigned i = 0; i < kChannelsPerHandyPhoneTrack; ++i) {
        carried.channelStatus[(track.channelBase + i) % 16] =
            MobileChannelStatus(HandyPhoneChannelStatus(track.channelStatus, i));
    }
}

void ReadMobileStandardTrack(const ScoreTrackView& track, CarriedChunks& carried) {
    std::ranges::copy(track.channelStatus, carried.channelStatus.begin());
    if (const auto stream = FindChunk(track.run, "Mtsp")) {
        carried.streamWaves.push_back(stream->contents);
    }
}

void ReadScoreTrack(const ScoreTrackView& track, CarriedChunks& carried) {
    if (!track.wholeHeader) {
        return;
    }
    if (track.formatType == kHandyPhoneStandard) {
        ReadHandyPhoneStatus(track, carried);
    } else {
        ReadMobileStandardTrack(track, carried);
    }
}

}  // namespace

CarriedChunks FindCarriedChunks(const FileView& file) {
    CarriedChunks carried;
    if (const auto info = FindChunk(file.run, "CNTI")) {
        carried.contentsInfo = info->contents;
    }
    if (const auto optionalData = FindChunk(file.run, "OPDA")) {
        carried.optionalData = optionalData->contents;
    }
    carried.audioTracks = file.audioTracks;
    for (const ScoreTrackView& track : file.scoreTracks) {
        ReadScoreTrack(track, carried);
    }
    return carried;
}

}  // namespace rolvik
