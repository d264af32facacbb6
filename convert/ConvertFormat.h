#pragma once

#include <optional>
#include <string_view>

#include "export/AudioFormat.h"

namespace rolvik {

// What a conversion makes of each song: an audio file of the song played by the engine, a
// Standard MIDI file, a compiled SMAF file or the detail report as JSON.
enum class ConvertFormat { Wav, Flac, Ogg, Opus, Mp3, Mid, Mmf, Json };

// The names users give: "wav", "flac", "ogg", "opus", "mp3", "mid", "mmf", "json".
std::optional<ConvertFormat> ConvertFormatNamed(std::string_view name);
// The extension of the files made, with its dot.
std::string_view ConvertFormatExtension(ConvertFormat format);
// The audio format, for the formats that render the song.
std::optional<AudioFormat> AudioFormatOf(ConvertFormat format);

}  // namespace rolvik
