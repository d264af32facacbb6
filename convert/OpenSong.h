#pragma once

#include <filesystem>
#include <memory>

#include "core/Smaf.h"

namespace rolvik {

// Opens a song by what the file holds, whatever its name: a Standard MIDI file through the import,
// compiled as the window leaves it; anything else as SMAF. Null after a message.
std::unique_ptr<Smaf> OpenSong(const std::filesystem::path& path);

}  // namespace rolvik
