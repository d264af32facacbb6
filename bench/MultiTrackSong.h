#pragma once

#include <cstdint>

#include "core/Number.h"
#include "tests/support/SmafImage.h"

namespace rolvik {

// A Mobile Standard file whose 16 tracks each hold an equal share of notes, one tick apart, so that
// every track's events interleave with all the others' in the merged list.
inline ByteVector MultiTrackSong(std::int64_t events) {
    constexpr int kTracks = 16;
    ByteVector tracks;
    for (int track = 0; track < kTracks; ++track) {
        ByteVector sequence;
        for (std::int64_t i = track; i < events; i += kTracks) {
            WriteNumber(sequence, i < kTracks ? 0 : 1);
            sequence.push_back(static_cast<std::uint8_t>(0x90 | track));
            sequence.push_back(static_cast<std::uint8_t>(36 + i % 48));
            sequence.push_back(100);
            WriteNumber(sequence, 30);
        }
        const ByteVector chunk = testing::MakeTrack(static_cast<std::uint8_t>(track), 2, 0x02, 0x02,
                                                    testing::MakeChunk("Mtsq", sequence));
        tracks.insert(tracks.end(), chunk.begin(), chunk.end());
    }
    return testing::MakeFile(tracks);
}

}  // namespace rolvik
