#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/Bytes.h"
#include "core/CompactBytes.h"

namespace rolvik {

// One MIDI message or meta event as it appears in a track, without its delta time: status byte and
// data for channel messages, F0 with its length for exclusives, FF type length data for metas.
// Short messages are held inline, so that millions of them cost no heap block each. `order` is for
// whoever builds a track: it ranks the messages of one tick; the writer does not read it.
struct TimedMidiMessage {
    std::uint64_t tick = 0;
    std::uint64_t order = 0;
    CompactBytes bytes;
};

// A track's messages in the order they are to be written, their ticks never decreasing. The
// end-of-track event lands at `endTick`, or at the last message when that is later.
struct MidiTrack {
    std::vector<TimedMidiMessage> messages;
    std::uint64_t endTick = 0;
};

// A format 1 Standard MIDI File ("MThd" then one "MTrk" per track). Delta times that do not fit the
// file's 28-bit numbers are carried by empty text events.
ByteVector WriteStandardMidiFile(std::span<const MidiTrack> tracks, std::uint16_t ticksPerQuarter);

}  // namespace rolvik
