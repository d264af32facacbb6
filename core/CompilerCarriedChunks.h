#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "Bytes.h"
#include "FileView.h"

namespace rolvik {

// What a compiled file keeps of the file image it replaces: the parts of the song that the event
// list does not hold but that the players and the detail report read. The views point into the
// image, which must outlive them.
struct CarriedChunks {
    std::optional<Bytes> contentsInfo;  // "CNTI"
    std::optional<Bytes> optionalData;  // "OPDA"
    // The score tracks' channel status (key control, vibration, LED, channel type), one byte per
    // channel as a Mobile Standard track states it.
    std::array<std::uint8_t, 16> channelStatus{};
    // The contents (runs of "Mwa" chunks) of the stream-wave chunks ("Mtsp") of the Mobile Standard
    // score tracks, in file order.
    std::vector<Bytes> streamWaves;
    std::vector<AudioTrackChunk> audioTracks;  // every "ATR" chunk, in file order
};

// Seek points ("MspI") are not carried: they are byte offsets into the sequence the compiler
// replaces, and it states the document's own start and stop points anew. Nor is what nothing here
// reads: graphics, master tracks, and score tracks of formats the loader does not convert.
CarriedChunks FindCarriedChunks(const FileView& file);

}  // namespace rolvik
