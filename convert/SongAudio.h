#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/Bytes.h"
#include "export/AudioFormat.h"
#include "export/AudioTag.h"
#include "synth/OfflineRenderer.h"
#include "synth/Song.h"

namespace rolvik {

// Where integrated loudness is taken when no other level is asked for, and the true peak that
// normalising never passes.
constexpr double kDefaultLoudnessLufs = -16.0;
constexpr double kMaxTruePeakDbtp = -1.0;

// How a song becomes an audio file: the render, the file's format and, when asked, the loudness
// the song is brought to.
struct AudioSettings {
    synth::RenderOptions render;
    AudioFormat format = AudioFormat::Wav;
    std::optional<double> normalizeLufs;
};

// Told how much of the work is done (0 to 1); returns false to stop it.
using AudioProgress = std::function<bool(double done)>;

// The file image of the song played by the engine, with the tags. Normalising renders the song
// twice, once to measure it and once to write it, so that no more than a block of samples is ever
// held. Null when stopped through `progress` (with `error` empty) or when the format cannot be
// written (with the reason in `error`).
std::optional<ByteVector> RenderSongAudio(const synth::Song& song, const AudioSettings& settings,
                                          const std::vector<AudioTag>& tags,
                                          const AudioProgress& progress, std::string& error);

}  // namespace rolvik
