#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

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

// Writes the song played by the engine, with the tags, as an audio file at `output`, atomically:
// streamed through the temporary file beside it, so that no more than a block of samples is held,
// or, for a device or pipe, in one write. Normalising renders the song twice, once to measure it
// and once to write it. False when stopped through `progress` (with `error` empty, and nothing
// left behind) or on a failure, with a message that names `output` in `error`.
bool WriteSongAudio(const synth::Song& song, const AudioSettings& settings,
                    const std::vector<AudioTag>& tags, const AudioProgress& progress,
                    const std::filesystem::path& output, std::string& error);

}  // namespace rolvik
