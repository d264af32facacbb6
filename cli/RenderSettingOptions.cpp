#include "RenderSettingOptions.h"

#include "OptionValues.h"
#include "convert/RingtoneChoice.h"
#include "convert/SongAudio.h"
#include "synth/Sequencer.h"

namespace rolvik::cli {

void AddRenderOptions(CLI::App& command, synth::RenderOptions& options) {
    command.add_option("--volume", options.volume, "Volume")
        ->transform(Decimal())
        ->check(CLI::Range(0, 127))
        ->option_text("0..127");
    command.add_option("--tempo", options.tempo, "Tempo (100: as written)")
        ->transform(Decimal())
        ->check(CLI::Range(synth::kMinTempo, synth::kMaxTempo))
        ->option_text("70..130");
    command.add_option("--key-pitch", options.keyPitch, "Transposition in semitones")
        ->transform(Decimal())
        ->check(CLI::Range(-synth::kMaxKeyPitch, synth::kMaxKeyPitch))
        ->option_text("-12..12");
}

void AddLoopOptions(CLI::App& command, LoopOptions& loops) {
    CLI::Option* count =
        command
            .add_option("--loops", loops.loops, "Play the introduction once, then the loop N times")
            ->transform(Decimal())
            ->check(CLI::Range(kMinRingtoneLoops, kMaxRingtoneLoops))
            ->option_text("N");
    command
        .add_option("--length", loops.lengthSeconds,
                    "Exactly SECONDS long, looping as often as needed")
        ->check(CLI::Range(kMinRingtoneSeconds, kMaxRingtoneSeconds))
        ->excludes(count)
        ->option_text("SECONDS");
    command
        .add_option("--fade", loops.fadeSeconds,
                    "Fade out over SECONDS after the last loop (3 with --length, else 0)")
        ->check(CLI::Range(0.0, kMaxRingtoneFadeSeconds))
        ->option_text("SECONDS");
}

void TakeLoopOptions(const CLI::App& command, const LoopOptions& loops,
                     synth::RenderOptions& options) {
    RingtoneChoice choice;
    if (command.count("--loops") > 0) {
        choice.loops = loops.loops;
    }
    if (command.count("--length") > 0) {
        choice.lengthSeconds = loops.lengthSeconds;
    }
    if (command.count("--fade") > 0) {
        choice.fadeSeconds = loops.fadeSeconds;
    }
    ApplyRingtoneChoice(choice, options);
}

void AddNormalizeOption(CLI::App& command, double& lufs) {
    static_assert(kDefaultLoudnessLufs == -16.0, "the flag's default below");
    lufs = kDefaultLoudnessLufs;
    command
        .add_flag("--normalize{-16}", lufs,
                  "Bring each song to this integrated loudness (EBU R128, -16 when no value is "
                  "given), never past a true peak of -1 dBTP")
        ->option_text("[=LUFS]");
}

std::optional<double> NormalizeLufs(const CLI::App& command, double lufs) {
    if (command.count("--normalize") == 0) {
        return std::nullopt;
    }
    return lufs;
}

}  // namespace rolvik::cli
