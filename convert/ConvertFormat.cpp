#include "ConvertFormat.h"

#include <array>

namespace rolvik {
namespace {

struct FormatEntry {
    ConvertFormat format;
    std::string_view name;
    std::string_view extension;
    std::optional<AudioFormat> audio;
};

const std::array<FormatEntry, 8> kFormats = {{
    {ConvertFormat::Wav, "wav", ".wav", AudioFormat::Wav},
    {ConvertFormat::Flac, "flac", ".flac", AudioFormat::Flac},
    {ConvertFormat::Ogg, "ogg", ".ogg", AudioFormat::Ogg},
    {ConvertFormat::Opus, "opus", ".opus", AudioFormat::Opus},
    {ConvertFormat::Mp3, "mp3", ".mp3", AudioFormat::Mp3},
    {ConvertFormat::Mid, "mid", ".mid", std::nullopt},
    {ConvertFormat::Mmf, "mmf", ".mmf", std::nullopt},
    {ConvertFormat::Json, "json", ".json", std::nullopt},
}};

const FormatEntry& EntryOf(ConvertFormat format) {
    for (const FormatEntry& entry : kFormats) {
        if (entry.format == format) {
            return entry;
        }
    }
    return kFormats.front();
}

}  // namespace

std::optional<ConvertFormat> ConvertFormatNamed(std::string_view name) {
    for (const FormatEntry& entry : kFormats) {
        if (entry.name == name) {
            return entry.format;
        }
    }
    return std::nullopt;
}

std::string_view ConvertFormatExtension(ConvertFormat format) {
    return EntryOf(format).extension;
}

std::optional<AudioFormat> AudioFormatOf(ConvertFormat format) {
    return EntryOf(format).audio;
}

}  // namespace rolvik
