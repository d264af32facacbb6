// Loading and compiling must stay linear for real multi-track songs.
// Targets on our 2-core machine: a 16-track Mobile Standard file of 1,000,000 events loads in under
// a second, and a million events take at most 15 times as long as 100,000.

#include <benchmark/benchmark.h>

#include <string>

#include "core/Compiler.h"
#include "core/Loader.h"
#include "core/Number.h"
#include "tests/support/SmafImage.h"

namespace rolvik {
namespace {

constexpr int kTracks = 16;

// A Mobile Standard file whose tracks each hold an equal share of notes, one tick apart, so that
// every track's events interleave with all the others' in the merged list.
ByteVector MultiTrackSong(std::int64_t events) {
    ByteVector tracks;
    for (int track = 0; track < kTracks; ++track) {
        ByteVector sequence;
        for (std::int64_t i = track; i < events; i += kTracks) {
            WriteNumber(sequence, i < kTracks ? 0 : 1);
            sequence.push_back(static_cast<std::uint8_t>(0x90 | track));
            sequence.push_back(static_cast<std::uint8_t>(36 + i % 48));
            sequence.push_back(100);
            WriteNumber(sequence, 30);
        }
        const ByteVector chunk = testing::MakeTrack(static_cast<std::uint8_t>(track), 2, 0x02, 0x02,
                                                    testing::MakeChunk("Mtsq", sequence));
        tracks.insert(tracks.end(), chunk.begin(), chunk.end());
    }
    return testing::MakeFile(tracks);
}

void LoadMultiTrackSong(benchmark::State& state) {
    auto smaf = CreateSmaf(0, 0);
    smaf->fileData = MultiTrackSong(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(LoadSmaf(*smaf));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(LoadMultiTrackSong)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void CompileMultiTrackSong(benchmark::State& state) {
    auto smaf = CreateSmaf(0, 0);
    smaf->fileData = MultiTrackSong(state.range(0));
    LoadSmaf(*smaf);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CompileSMAF(*smaf));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(CompileMultiTrackSong)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rolvik

BENCHMARK_MAIN();
