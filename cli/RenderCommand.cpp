#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "Commands.h"
#include "OptionValues.h"
#include "core/Loader.h"
#include "core/ShowMessage.h"
#include "import/MidiImport.h"
#include "synth/EmulatorInterface.h"
#include "synth/OfflineRenderer.h"
#include "synth/Song.h"

namespace rolvik::cli {
namespace {

constexpr int kBlockFrames = 4096;
constexpr int kProgressBarWidth = 40;

struct RenderRequest {
    std::string input;
    std::string output;
    synth::RenderOptions options;
    std::uint32_t fromMs = 0;
    std::uint32_t toMs = 0;
    bool hasTo = false;
};

bool EndsWithFlac(const std::string& path) {
    if (path.size() < 5) {
        return false;
    }
    std::string extension = path.substr(path.size() - 5);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".flac";
}

SNDFILE* OpenOutput(const std::string& path) {
    SF_INFO info{};
    info.samplerate = kOutputSampleRateHz;
    info.channels = 2;
    info.format = (EndsWithFlac(path) ? SF_FORMAT_FLAC : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file != nullptr) {
        sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    }
    return file;
}

// A bar on stderr that one line overwrites as the song goes on.
class ProgressBar {
  public:
    explicit ProgressBar(std::uint32_t totalMs) : totalMs_(std::max<std::uint32_t>(totalMs, 1)) {}

    void Show(std::uint32_t doneMs) {
        const int percent =
            static_cast<int>(std::min<std::uint64_t>(100, doneMs * 100ull / totalMs_));
        if (percent == shownPercent_) {
            return;
        }
        shownPercent_ = percent;
        const int filled = percent * kProgressBarWidth / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
                     std::string(kProgressBarWidth - filled, ' ').c_str(), percent);
        std::fflush(stderr);
    }

    void Finish() {
        Show(totalMs_);
        std::fputc('\n', stderr);
    }

  private:
    std::uint32_t totalMs_;
    int shownPercent_ = -1;
};

// A SMAF file's bytes as they are; a Standard MIDI file's as the import compiles them.
std::optional<ByteVector> SongBytes(const std::string& path) {
    if (IsStandardMidiFile(path)) {
        std::unique_ptr<Smaf> imported = ImportCompiledMidiFile(path);
        return imported ? std::optional<ByteVector>(std::move(imported->fileData)) : std::nullopt;
    }
    return ReadFileImage(path);
}

int RunRender(const RenderRequest& request) {
    const auto bytes = SongBytes(request.input);
    if (!bytes) {
        return kExitFailure;
    }
    const auto song = synth::LoadSong(*bytes);
    if (!song) {
        ShowMessage("Load failed!\nMay be incorrect SMAF specified.(CRC etc.)", "Error",
                    MessageIcon::Error);
        return kExitFailure;
    }
    SNDFILE* file = OpenOutput(request.output);
    if (file == nullptr) {
        ShowMessage(std::string("Can't write ") + request.output + ": " + sf_strerror(nullptr),
                    "Error", MessageIcon::Error);
        return kExitFailure;
    }
    synth::OfflineRenderer renderer(*song, request.options);
    const std::uint32_t endMs = request.options.toMs.value_or(synth::SongLengthMs(*song));
    std::unique_ptr<ProgressBar> progress;
    if (isatty(STDERR_FILENO) != 0) {
        progress = std::make_unique<ProgressBar>(
            endMs > request.options.fromMs ? endMs - request.options.fromMs : 0);
    }
    std::array<float, kBlockFrames> left{};
    std::array<float, kBlockFrames> right{};
    std::array<float, 2 * kBlockFrames> interleaved{};
    while (const int frames = renderer.Render(left.data(), right.data(), kBlockFrames)) {
        for (int i = 0; i < frames; ++i) {
            interleaved[2 * i] = left[i];
            interleaved[2 * i + 1] = right[i];
        }
        if (sf_writef_float(file, interleaved.data(), frames) != frames) {
            ShowMessage(std::string("Can't write ") + request.output + ": " + sf_strerror(file),
                        "Error", MessageIcon::Error);
            sf_close(file);
            return kExitFailure;
        }
        if (progress) {
            progress->Show(renderer.positionMs() -
                           std::min(renderer.positionMs(), request.options.fromMs));
        }
    }
    if (progress) {
        progress->Finish();
    }
    const bool closed = sf_close(file) == 0;
    if (!closed) {
        ShowMessage("Can't write " + request.output, "Error", MessageIcon::Error);
        return kExitFailure;
    }
    return kExitSuccess;
}

}  // namespace

void AddRenderCommand(CLI::App& app, CommandRun& run) {
    auto request = std::make_shared<RenderRequest>();
    CLI::App* command = app.add_subcommand(
        "render", "Play a SMAF file on the synthesiser engine into a WAV or FLAC file");
    command->add_option("IN", request->input, "SMAF or Standard MIDI file to play")->required();
    command->add_option("OUT", request->output, "WAV file to write (FLAC when it ends in .flac)")
        ->required();
    command
        ->add_option("--from", request->fromMs, "Start, in ms from the beginning of the sequence")
        ->transform(Decimal())
        ->option_text("MS");
    command->add_option("--to", request->toMs, "End, in ms from the beginning of the sequence")
        ->transform(Decimal())
        ->option_text("MS");
    command->add_option("--volume", request->options.volume, "Volume")
        ->transform(Decimal())
        ->check(CLI::Range(0, 127))
        ->option_text("0..127");
    command->add_option("--tempo", request->options.tempo, "Tempo (100: as written)")
        ->transform(Decimal())
        ->check(CLI::Range(synth::kMinTempo, synth::kMaxTempo))
        ->option_text("70..130");
    command->add_option("--key-pitch", request->options.keyPitch, "Transposition in semitones")
        ->transform(Decimal())
        ->check(CLI::Range(-synth::kMaxKeyPitch, synth::kMaxKeyPitch))
        ->option_text("-12..12");
    command->callback([&run, request, command] {
        request->options.fromMs = request->fromMs;
        if (command->count("--to") > 0) {
            if (request->fromMs > request->toMs) {
                throw CLI::ValidationError("--from", "lies after --to");
            }
            request->options.toMs = request->toMs;
        }
        run = [request] { return RunRender(*request); };
    });
}

}  // namespace rolvik::cli
