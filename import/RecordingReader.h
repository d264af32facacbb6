#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace rolvik {

// A recording made ready for an audio track: mono 16-bit samples at the track's rate.
struct Recording {
    std::vector<std::int16_t> samples;
    std::uint32_t rateHz = 0;
};

enum class RecordingReadFailure { CannotRead, Silent, TooLong };

struct RecordingLimits {
    std::uint64_t maxMs = 0;                // a longer recording is refused
    std::optional<std::uint64_t> lengthMs;  // only this much of the recording is read
};

// Reads an audio file (WAV, FLAC, Ogg Vorbis, Opus, MP3: whatever libsndfile reads), mixes its
// channels to mono and resamples it to `rateHz`. A file whose stated length (up to the limits'
// length) passes their maxMs is refused before its samples are read; one whose samples all round
// to zero is silent. On failure `failure` says why and `detail` holds the library's own words for
// a file it cannot read.
std::optional<Recording> ReadRecording(const std::filesystem::path& path, std::uint32_t rateHz,
                                       RecordingLimits limits, RecordingReadFailure& failure,
                                       std::string& detail);

// Fades the recording's last `fadeMs` out to silence.
void FadeOut(Recording& recording, std::uint64_t fadeMs);

}  // namespace rolvik
