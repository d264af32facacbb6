#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "core/Bytes.h"
#include "core/Smaf.h"

namespace rolvik {

// How a song came into memory: loaded from its SMAF bytes, or imported from a Standard MIDI file
// and compiled, so that no file holds the bytes it plays.
enum class SongOrigin { Smaf, StandardMidi };

struct OpenedSong {
    std::unique_ptr<Smaf> smaf;  // null after a message that says why the file does not open
    SongOrigin origin = SongOrigin::Smaf;
};

// Opens a song by what the file holds, whatever its name: a Standard MIDI file through the import,
// compiled at once so that it plays, reports and saves like a loaded file; anything else as SMAF.
// The window and the command line both open files through here, so they never disagree.
OpenedSong OpenSong(const std::filesystem::path& path);

// The SMAF bytes a file plays, decided as OpenSong decides: a SMAF file's as they are, a Standard
// MIDI file's as the import compiles them. None after a message.
std::optional<ByteVector> ReadSongBytes(const std::filesystem::path& path);

}  // namespace rolvik
