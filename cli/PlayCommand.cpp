#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "Commands.h"
#include "core/ShowMessage.h"
#include "import/OpenSong.h"
#include "playback/EngineLocation.h"
#include "playback/EngineSession.h"
#include "playback/PlaybackController.h"

namespace rolvik::cli {
namespace {

// The window drives MidiPlay and polls both players on 10 ms timers; so does this command.
constexpr auto kTickPeriod = std::chrono::milliseconds(10);

struct PlayRequest {
    std::string path;
    std::string mode = "emu";
    std::int32_t fromMs = 0;
    std::optional<int> track;  // 1..16, as the View menu numbers them
    int volume = 127;
    int tempo = 100;
    int keyPitch = 0;

    bool Emu() const { return mode == "emu"; }
};

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) {
    stopRequested = 1;
}

// The end of the song in absolute ms: where its last note or event ends.
std::uint32_t SongEndMs(const Smaf& smaf) {
    std::uint32_t endMs = 0;
    for (const Event* event = smaf.events.get(); event; event = event->next.get()) {
        endMs = std::max(endMs, event->time + EventGate(*event));
    }
    return endMs;
}

// One line on the terminal that each tick overwrites, like the window's title during play.
class PositionLine {
  public:
    PositionLine(bool emu, std::uint32_t lengthMs)
        : emu_(emu), lengthMs_(lengthMs), shown_(isatty(STDOUT_FILENO) != 0) {}

    void Show(std::uint32_t positionMs, int deviceInfo) {
        if (!shown_) {
            return;
        }
        const char* led = emu_ && (deviceInfo & 1) ? "LED " : "    ";
        const char* vib = emu_ && (deviceInfo & 2) ? "Vib " : "    ";
        std::printf("\r%s:%05ums / %05ums %s%s", emu_ ? "EMU" : "MIDI", positionMs, lengthMs_, led,
                    vib);
        std::fflush(stdout);
    }

    void Finish() {
        if (shown_) {
            std::printf("\n");
        }
    }

  private:
    bool emu_;
    std::uint32_t lengthMs_;
    bool shown_;
};

// Ticks until the music ends, Ctrl-C is pressed or the player reports a status it should not.
int RunUntilStopped(EngineSession& engine, Smaf& smaf, const PlayRequest& request) {
    PlaybackController playback(engine);
    playback.SetPosition(smaf.StartOffset() + static_cast<std::uint32_t>(request.fromMs));
    if (!playback.Start(request.Emu() ? PlayState::EmuPlay : PlayState::MidiPlay, smaf)) {
        return kExitFailure;
    }
    PositionLine line(request.Emu(), SongEndMs(smaf));
    auto nextTick = std::chrono::steady_clock::now();
    for (;;) {
        nextTick += kTickPeriod;
        std::this_thread::sleep_until(nextTick);
        if (stopRequested) {
            playback.Stop();
            line.Finish();
            return kExitInterrupted;
        }
        playback.Process();
        const PlayStatus status = playback.Status();
        if (status == PlayStatus::Playing) {
            playback.ReadPosition();
            line.Show(playback.positionMs(), playback.DeviceInfo());
            continue;
        }
        playback.Stop();
        line.Finish();
        if (status == PlayStatus::Ended) {
            return kExitSuccess;
        }
        ShowMessage(kUnexpectedStatusText, "Error", MessageIcon::Error);
        return kExitFailure;
    }
}

int Play(const PlayRequest& request) {
    std::unique_ptr<Smaf> smaf = OpenSong(request.path).smaf;
    if (!smaf) {
        return kExitFailure;
    }
    const EngineControls controls = {request.volume, request.tempo, request.keyPitch, false};
    const std::unique_ptr<EngineSession> engine =
        StartEngineSession(ExecutableFolder() / kVoiceSetFileName, controls);
    if (!engine) {
        return kExitFailure;
    }
    engine->midi().SetTrackFilter(request.track ? *request.track - 1 : kAllTracks);

    stopRequested = 0;
    auto previousHandler = std::signal(SIGINT, RequestStop);
    const int code = RunUntilStopped(*engine, *smaf, request);
    std::signal(SIGINT, previousHandler);
    return code;
}

}  // namespace

void AddPlayCommand(CLI::App& app, CommandRun& run) {
    auto request = std::make_shared<PlayRequest>();
    CLI::App* command =
        app.add_subcommand("play", "Play a SMAF file in real time through the engine");
    command->add_option("FILE", request->path, "SMAF or Standard MIDI file to play")->required();
    command
        ->add_option("--mode", request->mode,
                     "emu (the default): the file's bytes on the engine's sequencer, as stored; "
                     "midi: the event list as MIDI messages")
        ->check(CLI::IsMember({"midi", "emu"}))
        ->option_text("emu|midi");
    command
        ->add_option("--from", request->fromMs, "Start, in ms from the beginning of the sequence")
        ->check(CLI::NonNegativeNumber)
        ->option_text("MS");
    command->add_option("--track", request->track, "Only this track's notes sound, MidiPlay only")
        ->check(CLI::Range(1, 16))
        ->option_text("1..16");
    command->add_option("--volume", request->volume, "Volume")
        ->check(CLI::Range(0, 127))
        ->option_text("0..127");
    command->add_option("--tempo", request->tempo, "Tempo, EmuPlay only (100: as written)")
        ->check(CLI::Range(70, 130))
        ->option_text("70..130");
    command->add_option("--key-pitch", request->keyPitch, "Transposition in semitones")
        ->check(CLI::Range(-12, 12))
        ->option_text("-12..12");
    command->callback([&run, request, command] {
        // The engine's sequencer plays the compiled file whole; only MidiPlay can leave tracks
        // out, so asking for one track without a player chooses MidiPlay.
        if (command->count("--mode") == 0 && request->track) {
            request->mode = "midi";
        }
        if (request->Emu() && request->track) {
            throw CLI::ValidationError("--track", "plays one track with --mode midi only");
        }
        run = [request] { return Play(*request); };
    });
}

}  // namespace rolvik::cli
