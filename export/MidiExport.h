#pragma once

#include "core/Bytes.h"
#include "core/Smaf.h"

namespace rolvik {

struct MidiExportOptions {
    // Makes the file play right in a General MIDI player: the chip's own bank selects (MSB 124
    // melody, 125 drums, with the LSBs that complete them) and exclusives are left out, drum
    // channels move to MIDI channel 10 and a melody found there moves to a free channel.
    // HandyPhone Standard rhythm channels play each note on the drum key their program names.
    bool generalMidi = false;
    // Marks where a phone loops the song with the markers "loopStart" (its start point) and
    // "loopEnd" (its stop point, or its last event) in the first track, the convention of the
    // MIDI players that loop.
    bool loopMarkers = false;
};

// The document's event list as a format 1 Standard MIDI File: a first track with the tempo and the
// song's title, then one track per channel in use. 500 ticks a quarter note at 120 beats a minute
// make one tick one millisecond, so every time is exact. Events with no MIDI meaning are left out.
ByteVector ExportMidi(const Smaf& document, const MidiExportOptions& options);

}  // namespace rolvik
