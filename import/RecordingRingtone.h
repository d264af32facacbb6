#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "core/Bytes.h"
#include "core/ContentsInfoBody.h"

namespace rolvik {

inline constexpr std::uint32_t kDefaultRecordingRateHz = 8000;

struct RingtoneOptions {
    std::uint32_t rateHz = kDefaultRecordingRateHz;  // one of kAudioTrackRatesHz
    ContentsTexts texts;                             // audio-only files only
    std::optional<std::uint64_t> maxBytes;
    std::optional<std::uint64_t> lengthMs;  // the recording is cut there
    std::uint64_t fadeMs = 0;               // the last this many ms fade out
    std::uint32_t atMs = 0;                 // into a song: where the recording begins
};

// A SMAF file made from a recording, or the message that says why there is none.
struct RingtoneResult {
    std::optional<ByteVector> file;
    std::string message;
};

// An audio-only ringtone: the contents information with the texts, and one audio track that plays
// the whole recording from its start.
RingtoneResult RecordingToRingtone(const std::filesystem::path& recording,
                                   const RingtoneOptions& options);

// The song's file with one more audio track that plays the recording from options.atMs on.
RingtoneResult RecordingIntoSong(const std::filesystem::path& recording, Bytes song,
                                 const RingtoneOptions& options);

}  // namespace rolvik
