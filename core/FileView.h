#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "Chunk.h"
#include "SeekPoints.h"

namespace rolvik {

// A score track chunk ("MTR" and a track number) with its fixed header decoded. A header cut short
// leaves the fields it does not reach empty.
struct ScoreTrackView {
    Bytes contents;            // the chunk's contents, header included
    unsigned channelBase = 0;  // as ScoreTrackWalker counts it
    std::optional<std::uint8_t> formatType;
    std::optional<std::uint8_t> sequenceType;
    std::optional<std::uint8_t> durationBase;  // timebase codes
    std::optional<std::uint8_t> gateBase;
    // The channel status bytes of a format the loader reads (2 for HandyPhone Standard, 16 for
    // Mobile Standard), as many of them as the contents hold; empty for other formats.
    Bytes channelStatus;
    bool wholeHeader = false;  // a format the loader reads, with every byte of its fixed header
    // The chunk run behind the fixed header of a format the loader reads; empty otherwise.
    Bytes run;
    // The data chunks of that run, with the seek points that apply to its sequence: from its
    // first event unless "MspI" says otherwise.
    std::optional<Bytes> setup;     // "Mtsu"
    std::optional<Bytes> sequence;  // "Mtsq"
    SeekPoints seek;
};

// An audio track chunk ("ATR" and a track number).
struct AudioTrackChunk {
    Bytes id;
    Bytes contents;
};

// A stream wave ("Mwa" and its number) of the stream-wave chunk ("Mtsp") of a Mobile Standard
// score track.
struct StreamWaveChunk {
    std::uint8_t number = 0;
    Bytes contents;
};

// The frame of a SMAF file image, decoded once by ViewFile for everything that reads it: the
// loader, the compiler, the report, the MIDI export and the engine's song loader. The views point
// into the image, which must outlive them.
struct FileView {
    std::optional<Chunk> file;  // "MMMD"
    Bytes run;                  // the chunks inside it, before its check code
    bool checkCodeValid = false;
    std::vector<ScoreTrackView> scoreTracks;
    // The stream waves of every Mobile Standard score track and every audio track chunk, each in
    // file order.
    std::vector<StreamWaveChunk> streamWaves;
    std::vector<AudioTrackChunk> audioTracks;
};

FileView ViewFile(Bytes image);

}  // namespace rolvik
