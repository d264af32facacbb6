#include "RenderSettingOptions.h"

#include "OptionValues.h"
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
