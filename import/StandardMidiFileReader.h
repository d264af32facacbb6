#pragma once

#include <cstdint>
#include <vector>

#include "core/Bytes.h"

namespace rolvik {

// How a file counts time: ticks a quarter note (then the tempo sets their length), or SMPTE frames
// a second and ticks a frame (then the tempo does not matter). 29 frames stand for 29.97.
struct MidiDivision {
    std::uint16_t ticksPerQuarter = 0;
    std::uint8_t framesPerSecond = 0;
    std::uint8_t ticksPerFrame = 0;

    bool IsSmpte() const { return framesPerSecond != 0; }
};

// One event of a track at its absolute tick. Channel messages keep their status and up to two data
// bytes; an exclusive (status F0) keeps its body with the closing F7, pieces sent in F7 packets
// already joined; a meta event (status FF) keeps its type in `data1` and its contents. Bodies and
// contents are kept apart (StandardMidiFile::Payload), so that an event is 16 bytes.
struct MidiTrackEvent {
    std::uint64_t tick = 0;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
    std::uint32_t payload = 0;  // index in StandardMidiFile::payloads, for F0 and FF
};

struct MidiTrackEvents {
    std::vector<MidiTrackEvent> events;
    std::uint64_t endTick = 0;  // the end-of-track event, or the last event when there is none
};

struct StandardMidiFile {
    std::uint16_t format = 0;
    MidiDivision division;
    std::vector<MidiTrackEvents> tracks;
    // The bodies of exclusives and the contents of meta events: views of the file's bytes, or of
    // `joinedExclusives` for an exclusive sent in pieces.
    std::vector<Bytes> payloads;
    std::vector<ByteVector> joinedExclusives;

    Bytes Payload(const MidiTrackEvent& event) const {
        return event.status >= 0xF0 ? payloads[event.payload] : Bytes{};
    }
};

// Reads a Standard MIDI File of format 0 or 1. Throws MidiFileError, saying what is wrong, for
// anything else, for a file or track cut short, and for bytes that break the event grammar. The
// result views `file`'s bytes, which must outlive it.
StandardMidiFile ReadStandardMidiFile(Bytes file);

}  // namespace rolvik
