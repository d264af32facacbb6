#pragma once

#include <filesystem>
#include <memory>

#include "core/Bytes.h"
#include "core/Smaf.h"

namespace rolvik {

// A new document made from a Standard MIDI File (format 0 or 1, any division), with the finest
// timebases its compiled form allows. It has no file image until it is compiled. Null after a
// message that says why the file cannot be imported.
std::unique_ptr<Smaf> ImportStandardMidiFile(const std::filesystem::path& path);

// The same for a file's bytes already in memory.
std::unique_ptr<Smaf> ImportMidi(Bytes file);

}  // namespace rolvik
