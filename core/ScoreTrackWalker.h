#pragma once

#include <optional>

#include "Chunk.h"

namespace rolvik {

// Steps through the score track chunks ("MTR" and a track number) of a chunk run in file order,
// passing over every other chunk. Each track, whatever its format, moves the channel base on by
// kChannelsPerHandyPhoneTrack, so that a HandyPhone Standard track's channels land where the
// loader puts them.
class ScoreTrackWalker {
  public:
    explicit ScoreTrackWalker(Bytes run) : chunks_(run) {}

    struct Track {
        Chunk chunk;
        unsigned channelBase = 0;  // the document channel of its first HandyPhone channel
    };
    std::optional<Track> Next();

  private:
    ChunkWalker chunks_;
    unsigned channelBase_ = 0;
};

}  // namespace rolvik
