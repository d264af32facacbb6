#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/Bytes.h"
#include "synth/Song.h"

namespace rolvik {

// A song ready for the engine and the SMAF file it was read from: a SMAF file's bytes as they are,
// a Standard MIDI file's as the import compiles them.
struct SongSource {
    ByteVector smafFile;
    std::unique_ptr<synth::Song> song;
};

// Null after a message when the file cannot be read or the engine refuses it.
std::optional<SongSource> ReadSongSource(const std::string& path);

}  // namespace rolvik
