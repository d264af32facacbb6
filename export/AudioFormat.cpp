#include "AudioFormat.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace rolvik {
namespace {

struct FormatName {
    AudioFormat format;
    std::string_view name;
};

constexpr std::array<FormatName, 5> kFormatNames = {{
    {AudioFormat::Wav, "wav"},
    {AudioFormat::Flac, "flac"},
    {AudioFormat::Ogg, "ogg"},
    {AudioFormat::Opus, "opus"},
    {AudioFormat::Mp3, "mp3"},
}};

}  // namespace

std::optional<AudioFormat> AudioFormatNamed(std::string_view name) {
    for (const FormatName& entry : kFormatNames) {
        if (entry.name == name) {
            return entry.format;
        }
    }
    return std::nullopt;
}

std::optional<AudioFormat> AudioFormatOfPath(const std::filesystem::path& path) {
    std::string extension = path.extension().string();
    if (extension.empty()) {
        return std::nullopt;
    }
    std::ranges::transform(extension, extension.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return AudioFormatNamed(std::string_view(extension).substr(1));
}

std::string_view AudioFormatExtension(AudioFormat format) {
    switch (format) {
        case AudioFormat::Wav:
            return ".wav";
        case AudioFormat::Flac:
            return ".flac";
        case AudioFormat::Ogg:
            return ".ogg";
        case AudioFormat::Opus:
            return ".opus";
        case AudioFormat::Mp3:
            return ".mp3";
    }
    return ".wav";
}

}  // namespace rolvik
