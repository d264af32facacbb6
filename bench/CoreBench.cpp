// Loading and compiling must stay linear for real multi-track songs, and for crafted ones.
// Targets on our 2-core machine: a 16-track Mobile Standard file of 1,000,000 events loads in under
// a second, and a million events take at most 15 times as long as 100,000. A one-track file of
// 1,000,000 events loads in under 0.25 s, `rolvik-cli events` included, with the list costing at
// most 48 bytes an event ("listBytesPerEvent"; the whole process, measured with /usr/bin/time -v,
// stays under 48 bytes an event too). Times that wrap around at 32 bits load in time that grows
// with the events, not with their square: 80,000 such events take at most 10 times as long as
// 8,000. And any input of at most 16 MiB costs at most 512 MiB in every command of rolvik-cli
// (events, report, report --json, compile, midi, import, render), measured as the peak resident
// size that /usr/bin/time -v reports for crafted files: 16 MiB of the smallest events, a 2 MB
// compressed track declaring 16 MiB of them, a 16 MiB MIDI file of running status.

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdint>
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

// One track of `events` control changes whose durations are `durationBytes` long.
ByteVector OneTrackSong(std::int64_t events, const ByteVector& durationBytes) {
    ByteVector sequence;
    for (std::int64_t i = 0; i < events; ++i) {
        sequence.insert(sequence.end(), durationBytes.begin(), durationBytes.end());
        sequence.insert(sequence.end(), {0xB0, 0x07, 0x64});
    }
    return testing::MakeFile(
        testing::MakeTrack(0, 2, 0x13, 0x13, testing::MakeChunk("Mtsq", sequence)));
}

// Bytes the process holds from the heap, in blocks of its own mapping included.
std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

void LoadOneTrackSong(benchmark::State& state) {
    auto smaf = CreateSmaf(0, 0);
    smaf->fileData = OneTrackSong(state.range(0), {0x01});
    const std::size_t heapBefore = HeapInUse();
    for (auto _ : state) {
        benchmark::DoNotOptimize(LoadSmaf(*smaf));
    }
    state.counters["listBytesPerEvent"] =
        static_cast<double>(HeapInUse() - heapBefore) / static_cast<double>(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(LoadOneTrackSong)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// The longest duration at 50 ms a tick is 0x0FFFFFFF ticks: the time wraps every eighth event or
// so, and each wrap sends the next event back among all those before.
void LoadWrappingTimes(benchmark::State& state) {
    auto smaf = CreateSmaf(0, 0);
    smaf->fileData = OneTrackSong(state.range(0), {0xFF, 0xFF, 0xFF, 0x7F});
    for (auto _ : state) {
        benchmark::DoNotOptimize(LoadSmaf(*smaf));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(LoadWrappingTimes)->Arg(8'000)->Arg(80'000)->Unit(benchmark::kMillisecond);

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
