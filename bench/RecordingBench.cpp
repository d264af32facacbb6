// Quality and speed of encoding a recording into an audio track. The counter "snr_db" is the
// signal-to-noise ratio of the decoded track against the recording as read and resampled to the
// track's rate (target: 18 dB or more); "realtime" is seconds of recording encoded per second.

#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <random>
#include <vector>

#include "core/Adpcm.h"
#include "core/AdpcmEncoder.h"
#include "import/RecordingReader.h"

namespace {

using namespace rolvik;

constexpr int kSourceRateHz = 44100;
constexpr double kSeconds = 10;
constexpr double kPi = 3.14159265358979323846;

// Chords of plucked tones with their overtones over a bass, and a noise hi-hat on the beats.
double Music(double t, std::mt19937& noise) {
    const double chords[4][3] = {
        {261.6, 329.6, 392.0}, {220.0, 261.6, 329.6}, {174.6, 220.0, 261.6}, {196.0, 246.9, 293.7}};
    const double beat = std::fmod(t, 0.5);
    const auto& chord = chords[static_cast<int>(t / 2) % 4];
    double value = 0.25 * std::sin(2 * kPi * chord[0] / 4 * t);
    for (const double f : chord) {
        for (int harmonic = 1; harmonic <= 4; ++harmonic) {
            value += 0.12 / harmonic * std::sin(2 * kPi * f * harmonic * t) * std::exp(-3 * beat);
        }
    }
    std::uniform_real_distribution<double> white(-1, 1);
    return value + 0.15 * white(noise) * std::exp(-40 * beat);
}

// Syllables of a voiced sound: a pulse train whose pitch glides, through two vowel formants, and
// short pauses between them.
class Speech {
  public:
    double operator()(double t, std::mt19937& noise) {
        const double syllable = std::fmod(t, 0.3);
        const double pitchHz = 110 + 30 * std::sin(2 * kPi * 0.7 * t);
        phase_ += pitchHz / kSourceRateHz;
        const double pulse = phase_ >= 1 ? (phase_ -= 1, 1.0) : 0.0;
        std::uniform_real_distribution<double> white(-1, 1);
        const double excitation = syllable < 0.22 ? pulse : 0.02 * white(noise);
        const double vowel = std::fmod(t, 1.2) < 0.6 ? 0 : 1;
        const double low = Resonate(first_, excitation, 700 - 400 * vowel, 80);
        const double high = Resonate(second_, excitation, 1200 + 1000 * vowel, 120);
        return 0.5 * (low + 0.5 * high) * std::sin(kPi * std::min(syllable / 0.22, 1.0));
    }

  private:
    struct Resonator {
        double y1 = 0;
        double y2 = 0;
    };
    static double Resonate(Resonator& r, double x, double frequencyHz, double bandwidthHz) {
        const double radius = std::exp(-kPi * bandwidthHz / kSourceRateHz);
        const double a1 = 2 * radius * std::cos(2 * kPi * frequencyHz / kSourceRateHz);
        const double y = (1 - radius) * x + a1 * r.y1 - radius * radius * r.y2;
        r.y2 = r.y1;
        r.y1 = y;
        return y * 8;
    }
    double phase_ = 0;
    Resonator first_;
    Resonator second_;
};

std::filesystem::path WriteSource(const char* name,
                                  const std::function<double(double, std::mt19937&)>& signal) {
    const auto path = std::filesystem::temp_directory_path() /
                      (std::string("rolvik-bench-") + name + std::to_string(getpid()) + ".wav");
    SF_INFO info{};
    info.samplerate = kSourceRateHz;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    std::mt19937 noise(7);
    std::vector<float> samples(static_cast<std::size_t>(kSeconds * kSourceRateHz));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] =
            static_cast<float>(std::clamp(signal(double(i) / kSourceRateHz, noise), -1.0, 1.0));
    }
    sf_write_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
    return path;
}

double SignalToNoiseDb(const std::vector<std::int16_t>& reference,
                       const std::vector<std::int16_t>& decoded) {
    double power = 0;
    double noise = 0;
    for (std::size_t i = 0; i < reference.size(); ++i) {
        const double error = double(decoded[i]) - reference[i];
        power += double(reference[i]) * reference[i];
        noise += error * error;
    }
    return 10 * std::log10(power / noise);
}

void EncodeRecording(benchmark::State& state, const char* name,
                     const std::function<double(double, std::mt19937&)>& signal) {
    const auto path = WriteSource(name, signal);
    const auto rateHz = static_cast<std::uint32_t>(state.range(0));
    RecordingReadFailure failure{};
    std::string detail;
    const auto recording = ReadRecording(path, rateHz, {1'000'000, {}}, failure, detail);
    std::filesystem::remove(path);
    if (!recording) {
        state.SkipWithError("the source could not be read");
        return;
    }
    ByteVector codes;
    for (auto _ : state) {
        codes = EncodeAdpcm(recording->samples);
        benchmark::DoNotOptimize(codes.data());
    }
    std::vector<std::int16_t> decoded = DecodeAdpcm(codes);
    decoded.resize(recording->samples.size());
    state.counters["snr_db"] = SignalToNoiseDb(recording->samples, decoded);
    state.counters["realtime"] =
        benchmark::Counter(kSeconds, benchmark::Counter::kIsIterationInvariantRate);
}

void EncodeMusic(benchmark::State& state) {
    EncodeRecording(state, "music", Music);
}

void EncodeSpeech(benchmark::State& state) {
    EncodeRecording(state, "speech", Speech());
}

BENCHMARK(EncodeMusic)->Arg(8000)->Arg(22050)->Unit(benchmark::kMillisecond);
BENCHMARK(EncodeSpeech)->Arg(8000)->Arg(22050)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
