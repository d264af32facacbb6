// How far a HandyPhone Standard song's own voices move its sound from the default voices: the
// spectral centroid of each 85 ms frame of the first 20 s, rendered once with the voices the song
// defines and once with those definitions left out, both lined up on their first sound. Frames
// where either render lies below -50 dBFS do not count. The counters give, over the corpus's
// HandyPhone songs that define voices, the median of each song's median |log2| of the ratio of
// the two centroids ("octaves"), the same signed ("own_minus_default_octaves", negative where
// the own voices sound darker), and the songs measured; "plain_octaves" is the same distance for
// the songs that define none, which must stay 0.

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <numbers>
#include <optional>
#include <vector>

#include "core/FileIO.h"
#include "core/HandyPhoneOnly.h"
#include "synth/OfflineRenderer.h"
#include "synth/Song.h"

namespace {

using namespace rolvik;
using namespace rolvik::synth;

constexpr int kBlockFrames = 480;
constexpr int kRateHz = 48000;
constexpr int kFrameSamples = kRateHz * 85 / 1000;
constexpr std::uint32_t kSongMs = 20000;
constexpr double kFloorDbfs = -50.0;

std::vector<float> RenderMono(const Song& song) {
    RenderOptions options;
    options.toMs = kSongMs;
    OfflineRenderer renderer(song, options);
    std::vector<float> left(kBlockFrames), right(kBlockFrames), mono;
    while (const int rendered = renderer.Render(left.data(), right.data(), kBlockFrames)) {
        for (int i = 0; i < rendered; ++i) {
            mono.push_back((left[i] + right[i]) / 2.0f);
        }
    }
    return mono;
}

// The render from its first sample above the floor on.
std::vector<float> FromFirstSound(std::vector<float> samples) {
    const float floor = static_cast<float>(std::pow(10.0, kFloorDbfs / 20.0));
    const auto first = std::find_if(samples.begin(), samples.end(),
                                    [floor](float s) { return std::abs(s) > floor; });
    samples.erase(samples.begin(), first);
    return samples;
}

struct Frame {
    double levelDbfs = -200.0;
    double centroidHz = 0.0;
};

class FrameAnalyser {
  public:
    FrameAnalyser()
        : input_(fftw_alloc_real(kFrameSamples)),
          output_(fftw_alloc_complex(kFrameSamples / 2 + 1)),
          plan_(fftw_plan_dft_r2c_1d(kFrameSamples, input_, output_, FFTW_ESTIMATE)) {}
    ~FrameAnalyser() {
        fftw_destroy_plan(plan_);
        fftw_free(output_);
        fftw_free(input_);
    }
    FrameAnalyser(const FrameAnalyser&) = delete;
    FrameAnalyser& operator=(const FrameAnalyser&) = delete;

    std::vector<Frame> Frames(const std::vector<float>& samples) {
        std::vector<Frame> frames;
        for (std::size_t start = 0; start + kFrameSamples <= samples.size();
             start += kFrameSamples) {
            frames.push_back(Analyse(&samples[start]));
        }
        return frames;
    }

  private:
    Frame Analyse(const float* samples) {
        double energy = 0.0;
        for (int i = 0; i < kFrameSamples; ++i) {
            const double hann = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / kFrameSamples);
            input_[i] = samples[i] * hann;
            energy += static_cast<double>(samples[i]) * samples[i];
        }
        fftw_execute(plan_);
        double weighted = 0.0, total = 0.0;
        for (int bin = 1; bin <= kFrameSamples / 2; ++bin) {
            const double magnitude = std::hypot(output_[bin][0], output_[bin][1]);
            weighted += magnitude * bin * kRateHz / kFrameSamples;
            total += magnitude;
        }
        Frame frame;
        frame.levelDbfs = 10.0 * std::log10(energy / kFrameSamples + 1e-30);
        frame.centroidHz = total > 0.0 ? weighted / total : 0.0;
        return frame;
    }

    double* input_;
    fftw_complex* output_;
    fftw_plan plan_;
};

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

struct Distance {
    double octaves = 0.0;        // median |log2(own / default)|
    double signedOctaves = 0.0;  // median log2(own / default)
};

Distance CentroidDistance(FrameAnalyser& analyser, const Song& own, const Song& plain) {
    const std::vector<Frame> a = analyser.Frames(FromFirstSound(RenderMono(own)));
    const std::vector<Frame> b = analyser.Frames(FromFirstSound(RenderMono(plain)));
    std::vector<double> ratios;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (a[i].levelDbfs > kFloorDbfs && b[i].levelDbfs > kFloorDbfs && a[i].centroidHz > 0.0 &&
            b[i].centroidHz > 0.0) {
            ratios.push_back(std::log2(a[i].centroidHz / b[i].centroidHz));
        }
    }
    std::vector<double> magnitudes(ratios.size());
    std::transform(ratios.begin(), ratios.end(), magnitudes.begin(),
                   [](double r) { return std::abs(r); });
    return {Median(magnitudes), Median(ratios)};
}

// The song with its voice definitions left out: every note takes a default voice.
Song WithoutOwnVoices(const Song& song) {
    Song plain = song;
    for (SongEvent& event : plain.events) {
        if (event.type == MessageType::DefineVoice) {
            event.type = MessageType::Ignored;
        }
    }
    return plain;
}

bool DefinesVoices(const Song& song) {
    return std::any_of(song.events.begin(), song.events.end(), [](const SongEvent& event) {
        return event.type == MessageType::DefineVoice;
    });
}

struct HandyPhoneSong {
    std::unique_ptr<Song> song;
    bool ownVoices = false;
};

std::vector<HandyPhoneSong> CorpusHandyPhoneSongs() {
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(ROLVIK_CORPUS_DIR)) {
        paths.push_back(entry.path());
    }
    std::sort(paths.begin(), paths.end());
    std::vector<HandyPhoneSong> songs;
    for (const auto& path : paths) {
        const std::optional<ByteVector> bytes = ReadWholeFile(path);
        if (!bytes || !IsHandyPhoneOnly(*bytes)) {
            continue;
        }
        if (auto song = LoadSong(*bytes)) {
            const bool own = DefinesVoices(*song);
            songs.push_back({std::move(song), own});
        }
    }
    return songs;
}

void BM_HandyPhoneOwnVoices(benchmark::State& state) {
    const std::vector<HandyPhoneSong> songs = CorpusHandyPhoneSongs();
    FrameAnalyser analyser;
    std::vector<double> own, ownSigned, plain;
    for (auto _ : state) {
        own.clear();
        ownSigned.clear();
        plain.clear();
        for (const HandyPhoneSong& entry : songs) {
            const Distance distance =
                CentroidDistance(analyser, *entry.song, WithoutOwnVoices(*entry.song));
            (entry.ownVoices ? own : plain).push_back(distance.octaves);
            if (entry.ownVoices) {
                ownSigned.push_back(distance.signedOctaves);
            }
        }
    }
    state.counters["octaves"] = Median(own);
    state.counters["own_minus_default_octaves"] = Median(ownSigned);
    state.counters["songs"] = static_cast<double>(own.size());
    state.counters["plain_octaves"] = Median(plain);
    state.counters["plain_songs"] = static_cast<double>(plain.size());
}

BENCHMARK(BM_HandyPhoneOwnVoices)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
