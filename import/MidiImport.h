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

// An imported document made whole: compiled, and its list reloaded from the compiled bytes as if
// that file had been opened, so that it plays, reports and saves at once. Null after a message.
std::unique_ptr<Smaf> ImportCompiledMidiFile(const std::filesystem::path& path);

// Whether the file begins with the header chunk of a Standard MIDI file ("MThd"), whatever its
// name. A file that cannot be read is not one.
bool IsStandardMidiFile(const std::filesystem::path& path);

}  // namespace rolvik
