#include "FileView.h"

#include <algorithm>

#include "ByteReader.h"
#include "CheckCode.h"
#include "ScoreTrack.h"
#include "ScoreTrackWalker.h"

namespace rolvik {
namespace {

std::optional<std::size_t> HeaderSize(std::uint8_t formatType) {
    if (formatType == kHandyPhoneStandard) {
        return kHandyPhoneHeaderSize;
    }
    if (formatType == kMobileStandardCompressed || formatType == kMobileStandard) {
        return kMobileStandardHeaderSize;
    }
    return std::nullopt;
}

void ReadTrackData(ScoreTrackView& track) {
    if (const auto sequence = FindChunk(track.run, "Mtsq")) {
        track.sequence = sequence->contents;
        track.seek.start = 0;
    }
    if (const auto setup = FindChunk(track.run, "Mtsu")) {
        track.setup = setup->contents;
    }
    if (const auto info = FindChunk(track.run, "MspI")) {
        ReadSeekPoints(info->contents, track.seek);
    }
}

ScoreTrackView ViewScoreTrack(const ScoreTrackWalker::Track& track) {
    ScoreTrackView view;
    view.contents = track.chunk.contents;
    view.channelBase = track.channelBase;
    ByteReader header(view.contents);
    view.formatType = header.ReadByte();
    view.sequenceType = header.ReadByte();
    view.durationBase = header.ReadByte();
    view.gateBase = header.ReadByte();
    const std::optional<std::size_t> headerSize =
        view.formatType ? HeaderSize(*view.formatType) : std::nullopt;
    if (!headerSize || view.contents.size() < kChannelStatusOffset) {
        return view;
    }
    view.channelStatus =
        view.contents.subspan(kChannelStatusOffset)
            .first(std::min(*headerSize, view.contents.size()) - kChannelStatusOffset);
    view.wholeHeader = view.contents.size() >= *headerSize;
    if (view.contents.size() > *headerSize) {
        view.run = view.contents.subspan(*headerSize);
    }
    ReadTrackData(view);
    return view;
}

void AppendStreamWaves(const ScoreTrackView& track, std::vector<StreamWaveChunk>& waves) {
    const bool mobileStandard = track.wholeHeader && track.formatType != kHandyPhoneStandard;
    const auto stream = mobileStandard ? FindChunk(track.run, "Mtsp") : std::nullopt;
    ChunkWalker walker(stream ? stream->contents : Bytes{});
    while (const auto entry = walker.Next()) {
        if (BytesEqual(entry->id.first(3), "Mwa")) {
            waves.push_back({entry->id[3], entry->chunk.contents});
        }
    }
}

}  // namespace

FileView ViewFile(Bytes image) {
    FileView view;
    view.file = FindChunk(image, "MMMD");
    if (!view.file) {
        return view;
    }
    view.run = ChunksBeforeCheckCode(*view.file);
    view.checkCodeValid = CheckCodeMatches(*view.file);
    ScoreTrackWalker tracks(view.run);
    while (const auto track = tracks.Next()) {
        view.scoreTracks.push_back(ViewScoreTrack(*track));
        AppendStreamWaves(view.scoreTracks.back(), view.streamWaves);
    }
    ChunkWalker chunks(view.run);
    while (const auto entry = chunks.Next()) {
        if (BytesEqual(entry->id.first(3), "ATR")) {
            view.audioTracks.push_back({entry->id, entry->chunk.contents});
        }
    }
    return view;
}

}  // namespace rolvik
