#include "TempoMap.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "MidiFileError.h"

namespace rolvik {
namespace {

// A file that states no tempo plays at 120 beats a minute.
constexpr std::uint32_t kDefaultMicrosecondsPerQuarter = 500'000;
constexpr std::uint64_t kMaxMilliseconds = std::numeric_limits<std::uint32_t>::max();

// `start` plus `ticks` of `unitsPerTick` each, or nothing when that passes `limit`.
std::optional<std::uint64_t> UnitsAfter(std::uint64_t start, std::uint64_t ticks,
                                        std::uint64_t unitsPerTick, std::uint64_t limit) {
    if (start > limit || ticks > (limit - start) / unitsPerTick) {
        return std::nullopt;
    }
    return start + ticks * unitsPerTick;
}

}  // namespace

TempoMap::TempoMap(const MidiDivision& division, const std::vector<TempoChange>& changes) {
    if (division.IsSmpte()) {
        // 29 frames a second means 30,000 frames in 1,001 seconds.
        const bool dropFrame = division.framesPerSecond == 29;
        const std::uint64_t framesPerSecond = dropFrame ? 30 : division.framesPerSecond;
        unitsPerMs_ = framesPerSecond * division.ticksPerFrame;
        maxUnits_ = kMaxMilliseconds * unitsPerMs_;
        Append(0, dropFrame ? 1001 : 1000);
        return;
    }
    unitsPerMs_ = 1000 * std::uint64_t{division.ticksPerQuarter};
    maxUnits_ = kMaxMilliseconds * unitsPerMs_;
    Append(0, kDefaultMicrosecondsPerQuarter);
    for (const TempoChange& change : changes) {
        Append(change.tick, change.microsecondsPerQuarter);
    }
}

void TempoMap::Append(std::uint64_t tick, std::uint64_t unitsPerTick) {
    if (!segments_.empty() && segments_.back().tick == tick) {
        segments_.back().unitsPerTick = unitsPerTick;
        return;
    }
    if (!complete_) {
        return;
    }
    std::uint64_t start = 0;
    if (!segments_.empty()) {
        const Segment& last = segments_.back();
        const auto units =
            UnitsAfter(last.startUnits, tick - last.tick, last.unitsPerTick, maxUnits_);
        if (!units) {
            complete_ = false;
            return;
        }
        start = *units;
    }
    segments_.push_back({tick, start, unitsPerTick});
}

std::uint32_t TempoMap::Milliseconds(std::uint64_t tick) const {
    const auto after = std::upper_bound(
        segments_.begin(), segments_.end(), tick,
        [](std::uint64_t wanted, const Segment& segment) { return wanted < segment.tick; });
    const Segment& segment = *(after - 1);
    const auto units =
        UnitsAfter(segment.startUnits, tick - segment.tick, segment.unitsPerTick, maxUnits_);
    if (!units) {
        throw MidiFileError("The MIDI file's song is too long: it lasts beyond 49 days");
    }
    return static_cast<std::uint32_t>((*units + unitsPerMs_ / 2) / unitsPerMs_);
}

}  // namespace rolvik
