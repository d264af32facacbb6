#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "Commands.h"
#include "OptionValues.h"
#include "RenderSettingOptions.h"
#include "convert/SongAudio.h"
#include "convert/SongSource.h"
#include "convert/SongTags.h"
#include "core/ShowMessage.h"

namespace rolvik::cli {
namespace {

constexpr int kProgressBarWidth = 40;

struct RenderRequest {
    std::string input;
    std::string output;
    AudioSettings settings;
    std::string format;
    double normalizeLufs = kDefaultLoudnessLufs;
    LoopOptions loops;
    std::uint32_t fromMs = 0;
    std::uint32_t toMs = 0;
};

// A bar on stderr that one line overwrites as the song goes on.
class ProgressBar {
  public:
    bool Show(double done) {
        const int percent = static_cast<int>(std::clamp(done, 0.0, 1.0) * 100);
        if (percent == shownPercent_) {
            return true;
        }
        shownPercent_ = percent;
        const int filled = percent * kProgressBarWidth / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
                     std::string(kProgressBarWidth - filled, ' ').c_str(), percent);
        std::fflush(stderr);
        return true;
    }

    void Finish() {
        Show(1.0);
        std::fputc('\n', stderr);
    }

  private:
    int shownPercent_ = -1;
};

int RunRender(const RenderRequest& request) {
    const std::optional<SongSource> source = ReadSongSource(request.input);
    if (!source) {
        return kExitFailure;
    }
    std::unique_ptr<ProgressBar> progress;
    AudioProgress showProgress;
    if (isatty(STDERR_FILENO) != 0) {
        progress = std::make_unique<ProgressBar>();
        showProgress = [&progress](double done) { return progress->Show(done); };
    }
    std::string error;
    const bool written = WriteSongAudio(*source->song, request.settings, SongTags(source->smafFile),
                                        showProgress, request.output, error);
    if (progress) {
        progress->Finish();
    }
    if (!written) {
        ShowMessage(error, "Error", MessageIcon::Error);
        return kExitFailure;
    }
    return kExitSuccess;
}

// The format named by --format, else by the output's extension; a name without an extension (a
// device such as /dev/stdout) gets WAV.
AudioFormat ChosenFormat(const RenderRequest& request) {
    if (const auto named = AudioFormatNamed(request.format)) {
        return *named;
    }
    const std::filesystem::path output(request.output);
    if (!output.has_extension()) {
        return AudioFormat::Wav;
    }
    if (const auto byExtension = AudioFormatOfPath(output)) {
        return *byExtension;
    }
    throw CLI::ValidationError("OUT",
                               "cannot write a " + output.extension().string() +
                                   " file; use .wav, .flac, .ogg, .opus or .mp3, or --format");
}

}  // namespace

void AddRenderCommand(CLI::App& app, CommandRun& run) {
    auto request = std::make_shared<RenderRequest>();
    CLI::App* command = app.add_subcommand(
        "render", "Play a SMAF file on the synthesiser engine into an audio file");
    command->add_option("IN", request->input, "SMAF or Standard MIDI file to play")->required();
    command
        ->add_option("OUT", request->output,
                     "Audio file to write, in the format its extension names (WAV, FLAC, Ogg "
                     "Vorbis, Opus, MP3)")
        ->required();
    command->add_option("--format", request->format, "Format of OUT, whatever its extension")
        ->check(CLI::IsMember({"wav", "flac", "ogg", "opus", "mp3"}))
        ->option_text("wav|flac|ogg|opus|mp3");
    command
        ->add_option("--from", request->fromMs, "Start, in ms from the beginning of the sequence")
        ->transform(Decimal())
        ->option_text("MS");
    command->add_option("--to", request->toMs, "End, in ms from the beginning of the sequence")
        ->transform(Decimal())
        ->option_text("MS");
    AddRenderOptions(*command, request->settings.render);
    AddLoopOptions(*command, request->loops);
    AddNormalizeOption(*command, request->normalizeLufs);
    // A ringtone plays from the song's first event, so a stretch of it cannot be asked for too.
    for (const char* range : {"--from", "--to"}) {
        command->get_option(range)->excludes("--loops")->excludes("--length");
    }
    command->callback([&run, request, command] {
        synth::RenderOptions& options = request->settings.render;
        TakeLoopOptions(*command, request->loops, options);
        options.fromMs = request->fromMs;
        if (command->count("--to") > 0) {
            if (request->fromMs > request->toMs) {
                throw CLI::ValidationError("--from", "lies after --to");
            }
            options.toMs = request->toMs;
        }
        request->settings.format = ChosenFormat(*request);
        request->settings.normalizeLufs = NormalizeLufs(*command, request->normalizeLufs);
        run = [request] { return RunRender(*request); };
    });
}

}  // namespace rolvik::cli
