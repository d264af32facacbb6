#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace rolvik {

enum class AudioFormat { Wav, Flac, Ogg, Opus, Mp3 };

// The format a user names: "wav", "flac", "ogg" (Vorbis), "opus" or "mp3".
std::optional<AudioFormat> AudioFormatNamed(std::string_view name);
// The format an output's extension asks for, in any letter case; none for another extension.
std::optional<AudioFormat> AudioFormatOfPath(const std::filesystem::path& path);
// The extension a file of the format gets, with its dot.
std::string_view AudioFormatExtension(AudioFormat format);

}  // namespace rolvik
