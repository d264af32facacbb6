#include "RecordingRingtone.h"

#include <cstdio>
#include <functional>

#include "RecordingReader.h"
#include "core/AdpcmEncoder.h"
#include "core/AudioTrackFile.h"
#include "core/RecordingTrack.h"

namespace rolvik {
namespace {

std::string Format(const char* format, auto... values) {
    char text[512];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string ReadFailureText(const std::filesystem::path& path, RecordingReadFailure failure,
                            const std::string& detail) {
    const std::string name = path.string();
    switch (failure) {
        case RecordingReadFailure::CannotRead:
            return Format("Can't read the recording %s:\n%s", name.c_str(), detail.c_str());
        case RecordingReadFailure::Silent:
            return Format("The recording %s holds only silence.", name.c_str());
        case RecordingReadFailure::TooLong:
            break;
    }
    return Format("The recording %s is too long: an audio track plays at most %.1f seconds.",
                  name.c_str(), kMaxRecordingMs / 1000.0);
}

// The seconds of recording, to a tenth, that fit in `maxBytes` when the rest of the file takes
// `otherBytes`: two samples a byte.
double SecondsThatFit(std::uint64_t maxBytes, std::size_t otherBytes, std::uint32_t rateHz) {
    if (maxBytes <= otherBytes) {
        return 0;
    }
    return static_cast<double>((maxBytes - otherBytes) * 2 * 10 / rateHz) / 10;
}

using FileBuilder = std::function<std::optional<ByteVector>(Bytes audioTrack)>;

RingtoneResult MakeFile(const std::filesystem::path& path, const RingtoneOptions& options,
                        const FileBuilder& build) {
    RingtoneResult result;
    RecordingReadFailure failure{};
    std::string detail;
    std::optional<Recording> recording =
        ReadRecording(path, options.rateHz, {kMaxRecordingMs, options.lengthMs}, failure, detail);
    if (!recording) {
        result.message = ReadFailureText(path, failure, detail);
        return result;
    }
    FadeOut(*recording, options.fadeMs);
    const ByteVector codes = EncodeAdpcm(recording->samples);
    const auto track =
        BuildRecordingTrack({codes, recording->samples.size(), recording->rateHz}, options.atMs);
    std::optional<ByteVector> file = track ? build(*track) : std::nullopt;
    if (!file) {
        result.message = track ? "The song has no whole SMAF file chunk to add a track to."
                               : ReadFailureText(path, RecordingReadFailure::TooLong, detail);
        return result;
    }
    if (options.maxBytes && file->size() > *options.maxBytes) {
        result.message = Format(
            "The ringtone would take %zu bytes, more than the %llu allowed.\nAt %u Hz, %.1f "
            "seconds of the recording fit.",
            file->size(), static_cast<unsigned long long>(*options.maxBytes), options.rateHz,
            SecondsThatFit(*options.maxBytes, file->size() - codes.size(), options.rateHz));
        return result;
    }
    result.file = std::move(file);
    return result;
}

}  // namespace

RingtoneResult RecordingToRingtone(const std::filesystem::path& recording,
                                   const RingtoneOptions& options) {
    const ByteVector contentsInfo = BuildContentsInfo(options.texts);
    return MakeFile(recording, options, [&](Bytes track) -> std::optional<ByteVector> {
        return BuildAudioOnlySmaf(contentsInfo, track);
    });
}

RingtoneResult RecordingIntoSong(const std::filesystem::path& recording, Bytes song,
                                 const RingtoneOptions& options) {
    return MakeFile(recording, options, [&](Bytes track) { return AddAudioTrack(song, track); });
}

}  // namespace rolvik
