#pragma once

#include <cstdint>
#include <vector>

#include "StandardMidiFileReader.h"

namespace rolvik {

// A tempo event: from `tick` on, a quarter note lasts this many microseconds.
struct TempoChange {
    std::uint64_t tick = 0;
    std::uint32_t microsecondsPerQuarter = 0;
};

// Turns a file's ticks into milliseconds from the start of the song. Time is kept in whole units
// (for quarter-note divisions microseconds times the division, for SMPTE divisions fractions of a
// frame), so that no rounding builds up from one tempo to the next: only the final milliseconds
// are rounded, to the nearest.
class TempoMap {
  public:
    // `changes` in ascending order of tick; a later change at the same tick replaces an earlier.
    // A file with an SMPTE division runs in real time, and tempo events do not change it.
    TempoMap(const MidiDivision& division, const std::vector<TempoChange>& changes);

    // Throws MidiFileError when the time lies beyond what a document can hold (2^32 ms).
    std::uint32_t Milliseconds(std::uint64_t tick) const;

  private:
    struct Segment {
        std::uint64_t tick;
        std::uint64_t startUnits;
        std::uint64_t unitsPerTick;
    };

    void Append(std::uint64_t tick, std::uint64_t unitsPerTick);

    std::vector<Segment> segments_;
    std::uint64_t unitsPerMs_ = 1;
    std::uint64_t maxUnits_ = 0;
    bool complete_ = true;  // false once a change lies beyond the longest song
};

}  // namespace rolvik
