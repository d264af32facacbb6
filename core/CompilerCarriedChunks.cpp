#include "CompilerCarriedChunks.h"

#include <algorithm>

#include "Chunk.h"
#include "ScoreTrack.h"
#include "ScoreTrackWalker.h"

namespace rolvik {
namespace {

// A HandyPhone Standard channel's four bits (KCS, VS, ChType) as a Mobile Standard channel status
// byte: key control on or off, vibration, and the same channel type.
std::uint8_t MobileChannelStatus(std::uint8_t nibble) {
    constexpr std::uint8_t kKeyControlOn = 0x80;
    constexpr std::uint8_t kKeyControlOff = 0x40;
    constexpr std::uint8_t kVibration = 0x20;
    std::uint8_t status = (nibble & 0x08) != 0 ? kKeyControlOn : kKeyControlOff;
    if ((nibble & 0x04) != 0) {
        status |= kVibration;
    }
    return static_cast<std::uint8_t>(status | (nibble & 0x03));
}

// A HandyPhone track's two status bytes hold its four channels, first channel in the high bits;
// they land where the loader puts the track's channels.
void ReadHandyPhoneStatus(Bytes track, unsigned channelBase, CarriedChunks& carried) {
    if (track.size() < kHandyPhoneHeaderSize) {
        return;
    }
    for (unsigned i = 0; i < kChannelsPerHandyPhoneTrack; ++i) {
        carried.channelStatus[(channelBase + i) % 16] =
            MobileChannelStatus(HandyPhoneChannelStatus(track, i));
    }
}

void ReadMobileStandardTrack(Bytes track, CarriedChunks& carried) {
    if (track.size() < kMobileStandardHeaderSize) {
        return;
    }
    const Bytes status = track.subspan(kChannelStatusOffset, carried.channelStatus.size());
    std::copy(status.begin(), status.end(), carried.channelStatus.begin());
    if (const auto stream = FindChunk(track.subspan(kMobileStandardHeaderSize), "Mtsp")) {
        carried.streamWaves.push_back(stream->contents);
    }
}

void ReadScoreTrack(Bytes track, unsigned channelBase, CarriedChunks& carried) {
    if (track.empty()) {
        return;
    }
    if (track[0] == kHandyPhoneStandard) {
        ReadHandyPhoneStatus(track, channelBase, carried);
    } else if (track[0] == kMobileStandardCompressed || track[0] == kMobileStandard) {
        ReadMobileStandardTrack(track, carried);
    }
}

}  // namespace

CarriedChunks FindCarriedChunks(Bytes fileImage) {
    CarriedChunks carried;
    const Bytes run = FileChunkRun(fileImage);
    if (const auto info = FindChunk(run, "CNTI")) {
        carried.contentsInfo = info->contents;
    }
    if (const auto optionalData = FindChunk(run, "OPDA")) {
        carried.optionalData = optionalData->contents;
    }
    ChunkWalker chunks(run);
    while (auto entry = chunks.Next()) {
        if (BytesEqual(entry->id.first(3), "ATR")) {
            carried.audioTracks.push_back({entry->id, entry->chunk.contents});
        }
    }
    ScoreTrackWalker tracks(run);
    while (auto track = tracks.Next()) {
        ReadScoreTrack(track->chunk.contents, track->channelBase, carried);
    }
    return carried;
}

}  // namespace rolvik
