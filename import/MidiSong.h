#pragma once

#include <memory>

#include "StandardMidiFileReader.h"
#include "core/Smaf.h"

namespace rolvik {

// The tracks of a file merged into a new document's event list, at millisecond times through the
// file's tempo map. Each note becomes one event with its length as the gate; a note-off, or a
// note-on with velocity 0, ends the earliest sounding note of its channel and key, and a note still
// sounding at the end of the song lasts until then. Control changes, program changes, pitch bends
// and exclusives are carried; an end-of-sequence event closes the song at the end of its longest
// track. A channel whose file never selects a bank gets the chip's own bank before its first
// event: drums on channel 10, melody on every other. The timebases are left for the caller.
// Throws MidiFileError when a time lies beyond what a document can hold.
std::unique_ptr<Smaf> MidiSongDocument(const StandardMidiFile& file);

}  // namespace rolvik
