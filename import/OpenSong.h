#pragma once

#include <filesystem>
#include <memory>

#include "core/Smaf.h"

namespace rolvik {

// How a song came into memory: loaded from its SMAF bytes, or imported from a Standard MIDI file
// and compiled, so that no file holds the bytes it plays.
enum class SongSource { Smaf, StandardMidi };

struct OpenedSong {
    std::unique_ptr<Smaf> smaf;  // null after a message that says why the file does not open
    SongSource source = SongSource::Smaf;
};

// Opens a song by what the file holds, whatever its name: a Standard MIDI file through the import,
// compiled at once so that it plays, reports and saves like a loaded file; anything else as SMAF.
// The window and the command line both open files through here, so they never disagree.
OpenedSong OpenSong(const std::filesystem::path& path);

}  // namespace rolvik
