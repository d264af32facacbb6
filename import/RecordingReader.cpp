#include "RecordingReader.h"

#include <samplerate.h>
#include <sndfile.h>

#include <algorithm>
#include <memory>

namespace rolvik {
namespace {

struct SoundFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SoundFile = std::unique_ptr<SNDFILE, SoundFileCloser>;

constexpr sf_count_t kFramesPerRead = 4096;

// The file's frames, each the mean of its channels.
std::vector<float> ReadMono(SNDFILE* file, int channels, sf_count_t maxFrames) {
    std::vector<float> mono;
    std::vector<float> block(static_cast<std::size_t>(kFramesPerRead * channels));
    for (sf_count_t left = maxFrames; left > 0;) {
        const sf_count_t frames =
            sf_readf_float(file, block.data(), std::min(kFramesPerRead, left));
        left -= frames;
        if (frames <= 0) {
            break;
        }
        for (sf_count_t frame = 0; frame < frames; ++frame) {
            float sum = 0;
            for (int channel = 0; channel < channels; ++channel) {
                sum += block[static_cast<std::size_t>(frame * channels + channel)];
            }
            mono.push_back(sum / static_cast<float>(channels));
        }
    }
    return mono;
}

// libsamplerate's best sinc converter; an input already at the rate is left alone.
std::vector<float> Resample(std::vector<float> input, int inputRateHz, std::uint32_t rateHz) {
    if (static_cast<std::uint32_t>(inputRateHz) == rateHz || input.empty()) {
        return input;
    }
    const double ratio = static_cast<double>(rateHz) / inputRateHz;
    std::vector<float> output(static_cast<std::size_t>(static_cast<double>(input.size()) * ratio) +
                              1);
    SRC_DATA data{};
    data.data_in = input.data();
    data.input_frames = static_cast<long>(input.size());
    data.data_out = output.data();
    data.output_frames = static_cast<long>(output.size());
    data.src_ratio = ratio;
    if (src_simple(&data, SRC_SINC_BEST_QUALITY, 1) != 0) {
        return {};
    }
    output.resize(static_cast<std::size_t>(data.output_frames_gen));
    return output;
}

std::vector<std::int16_t> ToSamples(const std::vector<float>& input) {
    std::vector<std::int16_t> samples(input.size());
    src_float_to_short_array(input.data(), samples.data(), static_cast<int>(input.size()));
    return samples;
}

bool IsSilent(const std::vector<std::int16_t>& samples) {
    return std::all_of(samples.begin(), samples.end(), [](std::int16_t s) { return s == 0; });
}

}  // namespace

std::optional<Recording> ReadRecording(const std::filesystem::path& path, std::uint32_t rateHz,
                                       RecordingLimits limits, RecordingReadFailure& failure,
                                       std::string& detail) {
    SF_INFO info{};
    const SoundFile file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file || info.channels <= 0 || info.samplerate <= 0) {
        failure = RecordingReadFailure::CannotRead;
        detail = sf_strerror(file.get());
        return std::nullopt;
    }
    sf_count_t frames = info.frames;
    if (limits.lengthMs) {
        const auto wanted = static_cast<sf_count_t>(*limits.lengthMs * info.samplerate / 1000);
        frames = std::min(frames, wanted);
    }
    if (static_cast<double>(frames) * 1000 / info.samplerate > static_cast<double>(limits.maxMs)) {
        failure = RecordingReadFailure::TooLong;
        return std::nullopt;
    }
    Recording recording;
    recording.rateHz = rateHz;
    recording.samples =
        ToSamples(Resample(ReadMono(file.get(), info.channels, frames), info.samplerate, rateHz));
    if (IsSilent(recording.samples)) {
        failure = RecordingReadFailure::Silent;
        return std::nullopt;
    }
    return recording;
}

void FadeOut(Recording& recording, std::uint64_t fadeMs) {
    auto& samples = recording.samples;
    const std::size_t fadeSamples =
        std::min<std::size_t>(samples.size(), fadeMs * recording.rateHz / 1000);
    const std::size_t fadeStart = samples.size() - fadeSamples;
    for (std::size_t i = 0; i < fadeSamples; ++i) {
        const double gain = static_cast<double>(fadeSamples - i) / static_cast<double>(fadeSamples);
        samples[fadeStart + i] = static_cast<std::int16_t>(samples[fadeStart + i] * gain);
    }
}

}  // namespace rolvik
