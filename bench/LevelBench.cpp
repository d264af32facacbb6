// How loud and how clean the renders of the corpus are, over each song's first 20 s: the median
// RMS level in dBFS, how many songs with sampled sound of their own fall below -50 dBFS RMS, and
// over all songs the highest peak, the largest mean (DC) of a side and the number of samples at or
// beyond full scale. Single songs report the same figures for themselves.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "core/FileIO.h"
#include "synth/OfflineRenderer.h"
#include "synth/Song.h"

namespace {

using namespace rolvik;
using namespace rolvik::synth;

constexpr int kBlockFrames = 480;
constexpr std::uint32_t kSongMs = 20000;
constexpr double kQuietDbfs = -50.0;
// A song whose peak comes this close to the limiter's ceiling has been limited.
const double kLimitedPeak = 0.99 * std::pow(10.0, -1.0 / 20.0);
// What an RMS of exactly zero reads as.
constexpr double kSilenceDbfs = -200.0;

struct Level {
    double rmsDbfs = kSilenceDbfs;
    double peak = 0.0;
    double largestMean = 0.0;  // of either side
    std::int64_t clipped = 0;
};

double Dbfs(double value) {
    return value > 0.0 ? 20.0 * std::log10(value) : kSilenceDbfs;
}

Level Measure(const Song& song) {
    RenderOptions options;
    options.toMs = kSongMs;
    OfflineRenderer renderer(song, options);
    std::vector<float> left(kBlockFrames), right(kBlockFrames);
    double squares = 0.0, sumLeft = 0.0, sumRight = 0.0;
    std::int64_t frames = 0;
    Level level;
    while (const int rendered = renderer.Render(left.data(), right.data(), kBlockFrames)) {
        for (int i = 0; i < rendered; ++i) {
            for (const float sample : {left[i], right[i]}) {
                squares += static_cast<double>(sample) * sample;
                level.peak = std::max(level.peak, static_cast<double>(std::fabs(sample)));
                level.clipped += std::fabs(sample) >= 1.0f ? 1 : 0;
            }
            sumLeft += left[i];
            sumRight += right[i];
        }
        frames += rendered;
    }
    if (frames > 0) {
        level.rmsDbfs = Dbfs(std::sqrt(squares / (2.0 * static_cast<double>(frames))));
        level.largestMean =
            std::max(std::fabs(sumLeft), std::fabs(sumRight)) / static_cast<double>(frames);
    }
    return level;
}

bool HasOwnSampledSound(const Song& song) {
    return !song.waves.empty() || !song.audioTracks.empty();
}

void BM_CorpusLevel(benchmark::State& state) {
    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(ROLVIK_CORPUS_DIR)) {
        paths.push_back(entry.path());
    }
    std::ranges::sort(paths);
    std::vector<double> levels;
    int sampled = 0, quietSampled = 0, limited = 0;
    Level worst;
    for (auto _ : state) {
        for (const auto& path : paths) {
            const auto bytes = ReadWholeFile(path.string());
            const auto song = bytes ? LoadSong(*bytes) : nullptr;
            if (!song) {
                continue;
            }
            const Level level = Measure(*song);
            levels.push_back(level.rmsDbfs);
            if (HasOwnSampledSound(*song)) {
                ++sampled;
                quietSampled += level.rmsDbfs < kQuietDbfs ? 1 : 0;
            }
            limited += level.peak >= kLimitedPeak ? 1 : 0;
            worst.peak = std::max(worst.peak, level.peak);
            worst.largestMean = std::max(worst.largestMean, level.largestMean);
            worst.clipped += level.clipped;
        }
    }
    if (levels.empty()) {
        state.SkipWithError("no song in the corpus");
        return;
    }
    std::ranges::nth_element(levels, levels.begin() + levels.size() / 2);
    state.counters["songs"] = static_cast<double>(levels.size());
    state.counters["median_rms_dBFS"] = levels[levels.size() / 2];
    state.counters["sampled_songs"] = sampled;
    state.counters["sampled_under_-50dBFS"] = quietSampled;
    state.counters["limited_songs"] = limited;
    state.counters["peak"] = worst.peak;
    state.counters["largest_dc"] = worst.largestMean;
    state.counters["clipped_samples"] = static_cast<double>(worst.clipped);
}
BENCHMARK(BM_CorpusLevel)->Iterations(1)->Unit(benchmark::kSecond);

void BM_SongLevel(benchmark::State& state, const char* name) {
    const auto bytes = ReadWholeFile(std::string(ROLVIK_CORPUS_DIR) + "/" + name);
    const auto song = bytes ? LoadSong(*bytes) : nullptr;
    if (!song) {
        state.SkipWithError("song not found or refused");
        return;
    }
    Level level;
    for (auto _ : state) {
        level = Measure(*song);
    }
    state.counters["rms_dBFS"] = level.rmsDbfs;
    state.counters["peak"] = level.peak;
    state.counters["clipped_samples"] = static_cast<double>(level.clipped);
}

// Songs whose drum notes play stereo stream waves.
BENCHMARK_CAPTURE(BM_SongLevel, Skipping_tones, "libsmaf__Skipping_tones.mmf");
BENCHMARK_CAPTURE(BM_SongLevel, Sound_71, "libsmaf__Sound_71.mmf");
BENCHMARK_CAPTURE(BM_SongLevel, Sound_72_2, "libsmaf__Sound_72_2.mmf");
BENCHMARK_CAPTURE(BM_SongLevel, Sound_73_2, "libsmaf__Sound_73_2.mmf");

}  // namespace
