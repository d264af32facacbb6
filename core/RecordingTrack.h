#pragma once

#include <cstdint>
#include <optional>

#include "Bytes.h"
#include "Number.h"

namespace rolvik {

// An audio track plays a wave for as long as its trigger's gate, a two-byte number of ticks; at
// the coarsest timebase (50 ms) that is the longest a wave can sound.
inline constexpr std::uint32_t kMaxRecordingMs = kMaxShortNumber * 50;

// A mono 4-bit ADPCM wave (two codes a byte) of `sampleCount` samples at `rateHz`.
struct RecordingWave {
    Bytes codes;
    std::size_t sampleCount = 0;
    std::uint32_t rateHz = 0;
};

// The contents of an audio track ("ATR") that plays the wave once, whole, from `startMs` on, at
// full volume on the track's first channel, and ends when the wave does. Its ticks are the finest
// timebase (4 ms at least, as phones write) whose ticks count the whole wave in one gate. None when
// the rate is not one an audio track states or the wave lasts longer than kMaxRecordingMs.
std::optional<ByteVector> BuildRecordingTrack(const RecordingWave& wave, std::uint32_t startMs);

// How long the wave lasts, rounded up to a whole millisecond.
std::uint64_t RecordingLengthMs(std::size_t sampleCount, std::uint32_t rateHz);

}  // namespace rolvik
