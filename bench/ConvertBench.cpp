// A folder conversion: ../shared/corpus to FLAC with one job and with two. Targets on our 2-core
// machine: two jobs take at most 0.6 of the wall time of one ("real_time" of the two runs), and the
// engine renders at least 150 seconds of music per CPU second ("musicPerCpuSecond").
//
// Memory, as the peak resident size that /usr/bin/time -v reports for `rolvik-cli convert`: under
// 64 MiB per job for songs under 1 MiB, and under 512 MiB for a hostile 16 MiB input (a
// HandyPhone Standard track of 8.4 million unknown controls, bytes 00 35 over and over).

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <atomic>
#include <filesystem>

#include "convert/ConvertBatch.h"
#include "convert/SongSource.h"
#include "core/ShowMessage.h"

namespace {

using namespace rolvik;

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& time) { return time.tv_sec + time.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Seconds of music in the songs the plan converts.
double MusicSeconds(const ConvertPlan& plan) {
    double seconds = 0;
    for (const ConvertItem& item : plan.items) {
        if (const auto source = ReadSongSource(item.input)) {
            seconds += synth::SongLengthMs(*source->song) / 1000.0;
        }
    }
    return seconds;
}

void ConvertCorpusToFlac(benchmark::State& state) {
    const ScopedMessageHandler silence([](std::string_view, std::string_view, MessageIcon) {});
    const auto out = std::filesystem::temp_directory_path() / "rolvik-convert-bench";
    const ConvertPlan plan = PlanConversion({ROLVIK_CORPUS_DIR}, ConvertFormat::Flac, out);
    const double music = MusicSeconds(plan);
    ConvertSettings settings;
    settings.format = ConvertFormat::Flac;
    settings.overwrite = true;
    const std::atomic<bool> never{false};
    double cpuSeconds = 0;
    for (auto _ : state) {
        const double cpuBefore = ProcessCpuSeconds();
        const BatchSummary summary =
            RunBatch(plan, settings, static_cast<unsigned>(state.range(0)), never, {});
        cpuSeconds += ProcessCpuSeconds() - cpuBefore;
        benchmark::DoNotOptimize(summary.converted);
    }
    state.counters["musicPerCpuSecond"] =
        music * static_cast<double>(state.iterations()) / std::max(cpuSeconds, 1e-9);
    std::filesystem::remove_all(out);
}
BENCHMARK(ConvertCorpusToFlac)
    ->ArgName("jobs")
    ->Arg(1)
    ->Arg(2)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
