#include "SongAudio.h"

#include <algorithm>
#include <array>

#include "core/FileIO.h"
#include "export/AudioEncoder.h"
#include "export/LoudnessMeter.h"
#include "synth/EmulatorInterface.h"

namespace rolvik {
namespace {

constexpr int kBlockFrames = 4096;

// Plays the song once, handing each block of interleaved frames to `take`. False when stopped or
// when `take` fails.
template <typename Take>
bool RenderPass(const synth::Song& song, const synth::RenderOptions& options, double doneBefore,
                double share, const AudioProgress& progress, Take&& take) {
    synth::OfflineRenderer renderer(song, options);
    const std::uint32_t endMs = options.toMs.value_or(synth::SongLengthMs(song));
    const double lengthMs =
        std::max<double>(1.0, endMs > options.fromMs ? endMs - options.fromMs : 0);
    std::array<float, kBlockFrames> left{};
    std::array<float, kBlockFrames> right{};
    std::array<float, 2 * kBlockFrames> interleaved{};
    while (const int frames = renderer.Render(left.data(), right.data(), kBlockFrames)) {
        for (int i = 0; i < frames; ++i) {
            interleaved[2 * i] = left[i];
            interleaved[2 * i + 1] = right[i];
        }
        if (!take(interleaved.data(), frames)) {
            return false;
        }
        const double playedMs =
            renderer.positionMs() - std::min(renderer.positionMs(), options.fromMs);
        if (progress && !progress(doneBefore + share * std::min(1.0, playedMs / lengthMs))) {
            return false;
        }
    }
    return true;
}

std::optional<double> GainFor(const synth::Song& song, const AudioSettings& settings,
                              const AudioProgress& progress) {
    LoudnessMeter meter(kOutputSampleRateHz);
    const bool measured = RenderPass(song, settings.render, 0.0, 0.5, progress,
                                     [&meter](const float* frames, int count) {
                                         meter.Add(frames, count);
                                         return true;
                                     });
    if (!measured) {
        return std::nullopt;
    }
    return meter.GainFor(*settings.normalizeLufs, kMaxTruePeakDbtp);
}

// The encoded song, in memory or, with a descriptor, in that file.
std::optional<ByteVector> Encode(const synth::Song& song, const AudioSettings& settings,
                                 const std::vector<AudioTag>& tags, const AudioProgress& progress,
                                 std::optional<int> descriptor, std::string& error) {
    float gain = 1.0f;
    double doneBefore = 0.0;
    if (settings.normalizeLufs) {
        const std::optional<double> measuredGain = GainFor(song, settings, progress);
        if (!measuredGain) {
            return std::nullopt;
        }
        gain = static_cast<float>(*measuredGain);
        doneBefore = 0.5;
    }
    const std::unique_ptr<AudioEncoder> encoder =
        AudioEncoder::Open(settings.format, tags, kOutputSampleRateHz, error, descriptor);
    if (!encoder) {
        return std::nullopt;
    }
    const bool written =
        RenderPass(song, settings.render, doneBefore, 1.0 - doneBefore, progress,
                   [&](float* frames, int count) {
                       if (gain != 1.0f) {
                           std::for_each(frames, frames + 2 * count,
                                         [gain](float& sample) { sample *= gain; });
                       }
                       return encoder->Write(frames, count, error);
                   });
    if (!written) {
        return std::nullopt;
    }
    return encoder->Finish(error);
}

}  // namespace

bool WriteSongAudio(const synth::Song& song, const AudioSettings& settings,
                    const std::vector<AudioTag>& tags, const AudioProgress& progress,
                    const std::filesystem::path& output, std::string& error) {
    error.clear();
    const auto failed = [&error, &output] {
        if (!error.empty() && !error.starts_with("cannot write")) {
            error = "cannot write " + output.string() + ": " + error;
        }
        return false;
    };
    if (IsDeviceOrPipe(output)) {
        const std::optional<ByteVector> bytes =
            Encode(song, settings, tags, progress, std::nullopt, error);
        return bytes ? WriteFileAtomically(output, *bytes, error) : failed();
    }
    const std::unique_ptr<AtomicFileWriter> file = AtomicFileWriter::Open(output, error);
    if (!file) {
        return false;
    }
    if (!Encode(song, settings, tags, progress, file->descriptor(), error)) {
        return failed();
    }
    return file->Commit(error);
}

}  // namespace rolvik
