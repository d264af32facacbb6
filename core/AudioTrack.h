#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "Bytes.h"
#include "FileView.h"
#include "Wave.h"

namespace rolvik {

// The rates an audio track can state, by their rate class (the low nibble of its wave type).
inline constexpr std::array<std::uint32_t, 5> kAudioTrackRatesHz = {4000, 8000, 11025, 22050,
                                                                    44100};
std::optional<std::uint8_t> AudioTrackRateClass(std::uint32_t rateHz);

// One event of an audio track's sequence.
struct AudioEvent {
    enum class Kind : std::uint8_t { Trigger, Volume, Panpot, Expression };

    std::uint32_t timeMs = 0;  // from the beginning of the track's sequence
    Kind kind = Kind::Trigger;
    std::uint8_t channel = 0;  // 0..3
    std::uint8_t wave = 0;     // triggers: the "Awa" number
    std::uint32_t gateMs = 0;  // triggers: how long the wave may sound
    std::uint8_t value = 0;    // controls: 0..127
};

// An audio track ("ATR"): recorded waves and the sequence that plays them, all at one rate.
struct AudioTrack {
    std::uint32_t rateHz = 0;
    std::map<std::uint8_t, Wave> waves;
    std::vector<AudioEvent> events;  // in time order, up to the stop point
    // Where the track's seek information puts its stop (or where its last event lies), in ms
    // from the beginning of its sequence. A track plays every duration of its sequence, the
    // first one included: its events keep their time from the beginning of the sequence, as the
    // score tracks' events do, and the tracks of a song run on one clock.
    std::uint32_t endMs = 0;
};

// Reads every audio track of a file image that can be played: a known header (mono 4-bit ADPCM
// at one of the five rates, known timebases) and a sequence. Others are left out.
std::vector<AudioTrack> ReadAudioTracks(const FileView& file);
std::vector<AudioTrack> ReadAudioTracks(Bytes image);

// Reads one audio track's contents; false when it cannot be played.
bool ReadAudioTrack(Bytes contents, AudioTrack& track);

}  // namespace rolvik
