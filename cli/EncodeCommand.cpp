#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Commands.h"
#include "OptionValues.h"
#include "convert/RingtoneChoice.h"
#include "core/AudioTrack.h"
#include "core/FileIO.h"
#include "core/Loader.h"
#include "core/ShowMessage.h"
#include "import/RecordingRingtone.h"

namespace rolvik::cli {
namespace {

struct EncodeRequest {
    std::string input;
    std::string output;
    std::string song;  // --into: the song the recording joins
    RingtoneOptions options;
    std::uint64_t maxBytes = 0;
    double lengthSeconds = 0;
    double fadeSeconds = 0;
};

std::uint64_t Milliseconds(double seconds) {
    return static_cast<std::uint64_t>(std::llround(seconds * 1000));
}

int RunEncode(const EncodeRequest& request) {
    RingtoneResult result;
    if (request.song.empty()) {
        result = RecordingToRingtone(request.input, request.options);
    } else {
        const std::optional<ByteVector> song = ReadFileImage(request.song);
        if (!song) {
            return kExitFailure;
        }
        result = RecordingIntoSong(request.input, *song, request.options);
    }
    if (!result.file) {
        ShowMessage(result.message, "Error", MessageIcon::Error);
        return kExitFailure;
    }
    std::string error;
    if (!WriteFileAtomically(request.output, *result.file, error)) {
        ShowMessage(error, "Error", MessageIcon::Error);
        return kExitFailure;
    }
    return kExitSuccess;
}

std::vector<std::uint32_t> KnownRates() {
    return {kAudioTrackRatesHz.begin(), kAudioTrackRatesHz.end()};
}

}  // namespace

void AddEncodeCommand(CLI::App& app, CommandRun& run) {
    auto request = std::make_shared<EncodeRequest>();
    CLI::App* command = app.add_subcommand(
        "encode",
        "Encode a recording into a SMAF ringtone, or into a song as one more audio track");
    command->add_option("IN", request->input, "Audio file: WAV, FLAC, Ogg Vorbis, Opus or MP3")
        ->required();
    command->add_option("OUT", request->output, "SMAF file to write")->required();
    command->add_option("--rate", request->options.rateHz, "Sampling rate in Hz (8000 by default)")
        ->transform(Decimal())
        ->check(CLI::IsMember(KnownRates()));
    command->add_option("--title", request->options.texts.title, "Title of the ringtone");
    command->add_option("--artist", request->options.texts.artist, "Artist of the ringtone");
    command->add_option("--copyright", request->options.texts.copyright, "Copyright notice");
    command->add_option("--max-bytes", request->maxBytes, "Refuse a file larger than this")
        ->transform(Decimal());
    command->add_option("--length", request->lengthSeconds, "Cut the recording to SECONDS")
        ->check(CLI::PositiveNumber);
    command
        ->add_option("--fade", request->fadeSeconds,
                     "Fade out over the last SECONDS (3 with --length, else 0)")
        ->check(CLI::NonNegativeNumber);
    command->add_option("--into", request->song, "Add the recording to this song's tracks");
    command->add_option("--at", request->options.atMs, "With --into: where it begins, in ms")
        ->transform(Decimal());
    command->callback([&run, request, command] {
        if (command->count("--max-bytes") > 0) {
            request->options.maxBytes = request->maxBytes;
        }
        RingtoneChoice choice;
        if (command->count("--length") > 0) {
            choice.lengthSeconds = request->lengthSeconds;
            request->options.lengthMs = Milliseconds(request->lengthSeconds);
        }
        if (command->count("--fade") > 0) {
            choice.fadeSeconds = request->fadeSeconds;
        }
        request->options.fadeMs = Milliseconds(FadeSecondsOf(choice));
        run = [request] { return RunEncode(*request); };
    });
}

}  // namespace rolvik::cli
