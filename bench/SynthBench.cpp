// Speed of the synthesiser engine's offline rendering. The counter "realtime" is seconds of
// 48 kHz stereo audio made per second of CPU time.

#include <benchmark/benchmark.h>

#include <vector>

#include "core/FileIO.h"
#include "core/SmafExclusive.h"
#include "synth/EmulatorInterface.h"
#include "synth/MidiMessage.h"
#include "synth/OfflineRenderer.h"
#include "synth/Song.h"
#include "synth/Synthesizer.h"

namespace {

using namespace rolvik;
using namespace rolvik::synth;

constexpr int kBlockFrames = 512;

void RenderSongFile(benchmark::State& state, const char* path) {
    const auto bytes = ReadWholeFile(path);
    const auto song = bytes ? LoadSong(*bytes) : nullptr;
    if (!song) {
        state.SkipWithError("song not found or refused");
        return;
    }
    std::vector<float> left(kBlockFrames), right(kBlockFrames);
    std::int64_t frames = 0;
    for (auto _ : state) {
        OfflineRenderer renderer(*song, {});
        while (const int rendered = renderer.Render(left.data(), right.data(), kBlockFrames)) {
            frames += rendered;
        }
        benchmark::DoNotOptimize(left.data());
    }
    state.counters["realtime"] =
        benchmark::Counter(frames / double{kOutputSampleRateHz}, benchmark::Counter::kIsRate);
}

void BM_RenderDemoSong(benchmark::State& state) {
    RenderSongFile(state, ROLVIK_SOURCE_DIR "/res/demo.mmf");
}
BENCHMARK(BM_RenderDemoSong)->Unit(benchmark::kMillisecond);

void BM_RenderSweetCeremony(benchmark::State& state) {
    RenderSongFile(state, ROLVIK_CORPUS_DIR "/smafconv__01._Sweet_Ceremony.mmf");
}
BENCHMARK(BM_RenderSweetCeremony)->Unit(benchmark::kMillisecond);

// A song whose drums are all waves of its own (wave records played by sampled voices).
void BM_RenderSampledDrumSong(benchmark::State& state) {
    RenderSongFile(state, ROLVIK_CORPUS_DIR "/libsmaf__21_IT_S_A_SMALL_WORLD.mmf");
}
BENCHMARK(BM_RenderSampledDrumSong)->Unit(benchmark::kMillisecond);

// Loading decodes every wave, so that playing never has to: Sweet Ceremony carries 20 s of one.
void BM_LoadSweetCeremony(benchmark::State& state) {
    const auto bytes = ReadWholeFile(ROLVIK_CORPUS_DIR "/smafconv__01._Sweet_Ceremony.mmf");
    if (!bytes) {
        state.SkipWithError("song not found");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(LoadSong(*bytes));
    }
}
BENCHMARK(BM_LoadSweetCeremony)->Unit(benchmark::kMillisecond);

void Send(Synthesizer& synthesizer, const ByteVector& bytes) {
    synthesizer.Apply(*ParseMidiMessage(bytes));
}

// 32 held notes of a four-operator voice (algorithm 4: a chain of four sines with feedback).
void BM_Stress32FourOperatorNotes(benchmark::State& state) {
    Synthesizer synthesizer;
    ByteVector voice = StartMemoryMessage(kModelMa5, kVoiceDefinition);
    voice.insert(voice.end(), {0x7C, 0x00, 0x00, 0x00, 0x00});
    const ByteVector parameters = {0x00, 0x78, 0x04,                           // algorithm 4
                                   0x00, 0xF0, 0xF0, 0x40, 0x00, 0x10, 0x05,   // op 1, FB 5
                                   0x00, 0xF0, 0xF0, 0x40, 0x00, 0x20, 0x00,   // op 2
                                   0x00, 0xF0, 0xF0, 0x40, 0x00, 0x10, 0x00,   // op 3
                                   0x00, 0xF0, 0xF0, 0x00, 0x00, 0x10, 0x00};  // op 4
    for (std::size_t group = 0; group < parameters.size(); group += 7) {
        voice.push_back(0x00);
        for (std::size_t i = group; i < std::min(parameters.size(), group + 7); ++i) {
            voice.push_back(parameters[i]);
        }
    }
    voice.push_back(0xF7);
    Send(synthesizer, voice);
    for (std::uint8_t key = 40; key < 72; ++key) {
        Send(synthesizer, {0x90, key, 100});
    }
    std::vector<float> left(kBlockFrames), right(kBlockFrames);
    std::int64_t frames = 0;
    for (auto _ : state) {
        synthesizer.Render(left.data(), right.data(), kBlockFrames);
        frames += kBlockFrames;
        benchmark::DoNotOptimize(left.data());
    }
    if (synthesizer.ActiveNoteCount() != kMaxNotes) {
        state.SkipWithError("notes stopped sounding");
    }
    state.counters["realtime"] =
        benchmark::Counter(frames / double{kOutputSampleRateHz}, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Stress32FourOperatorNotes);

}  // namespace

BENCHMARK_MAIN();
