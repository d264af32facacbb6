// Loading and compiling must stay linear for real multi-track songs.
// Targets on our 2-core machine: a 16-track Mobile Standard file of 1,000,000 events loads in under
// a second, and a million events take at most 15 times as long as 100,000.

#include <benchmark/benchmark.h>

#include <string>

#include "MultiTrackSong.h"
#include "core/Compiler.h"
#include "core/Loader.h"

namespace rolvik {
namespace {

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
