// Importing a MIDI file and compiling it must feel instant.
// Target on our 2-core machine: a 10,000-note Standard MIDI File imports and compiles in under
// 100 ms.

#include <benchmark/benchmark.h>

#include "core/Compiler.h"
#include "core/Number.h"
#include "import/MidiImport.h"
#include "tests/support/SmafImage.h"

namespace rolvik {
namespace {

constexpr int kTracks = 16;
constexpr int kNotes = 10'000;
constexpr std::uint16_t kTicksPerQuarter = 480;

void AppendTempo(ByteVector& track, std::uint32_t delta, std::uint32_t microsecondsPerQuarter) {
    WriteNumber(track, delta);
    track.insert(track.end(),
                 {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(microsecondsPerQuarter >> 16),
                  static_cast<std::uint8_t>(microsecondsPerQuarter >> 8),
                  static_cast<std::uint8_t>(microsecondsPerQuarter)});
}

std::uint8_t Key(int channel, int note) {
    return static_cast<std::uint8_t>(36 + (note * 7 + channel) % 60);
}

// One channel's notes, an eighth apart and a quarter long, so that each overlaps the next; ended
// by note-ons of velocity 0, so that the whole track runs on one running status, as most writers
// make it.
ByteVector NoteTrack(int channel, int notes) {
    ByteVector track{0x00, static_cast<std::uint8_t>(0x90 | channel)};
    for (int i = 0; i < notes + 2; ++i) {
        const std::uint32_t delta = i == 0 ? 0 : kTicksPerQuarter / 2;
        if (i > 0) {
            WriteNumber(track, delta);
        }
        if (i < notes) {
            track.insert(track.end(), {Key(channel, i), 100});
        }
        if (i >= 2) {
            if (i < notes) {
                track.push_back(0x00);
            }
            track.insert(track.end(), {Key(channel, i - 2), 0});
        }
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    return testing::MakeChunk("MTrk", track);
}

// A format 1 file: a tempo track that changes the tempo every bar, then 16 tracks of notes.
ByteVector TenThousandNoteMidiFile() {
    constexpr int kNotesPerTrack = kNotes / kTracks;
    constexpr std::uint32_t kBar = 4 * kTicksPerQuarter;
    ByteVector tempoTrack;
    for (std::uint32_t bar = 0; bar * kBar < kNotesPerTrack * kTicksPerQuarter / 2; ++bar) {
        AppendTempo(tempoTrack, bar == 0 ? 0 : kBar, 400'000 + 20'000 * (bar % 10));
    }
    tempoTrack.insert(tempoTrack.end(), {0x00, 0xFF, 0x2F, 0x00});
    ByteVector tracks = testing::MakeChunk("MTrk", tempoTrack);
    for (int channel = 0; channel < kTracks; ++channel) {
        const ByteVector track = NoteTrack(channel, kNotesPerTrack);
        tracks.insert(tracks.end(), track.begin(), track.end());
    }
    const ByteVector header{
        0x00, 0x01, 0x00, kTracks + 1, kTicksPerQuarter >> 8, kTicksPerQuarter & 0xFF};
    return testing::Concat({testing::MakeChunk("MThd", header), tracks});
}

void ImportAndCompileTenThousandNotes(benchmark::State& state) {
    const ByteVector file = TenThousandNoteMidiFile();
    std::size_t notes = 0;
    const std::unique_ptr<Smaf> imported = ImportMidi(file);
    for (const Event* event = imported->events.get(); event; event = event->next.get()) {
        notes += IsNoteEvent(*event) ? 1 : 0;
    }
    state.counters["notes"] = static_cast<double>(notes);
    for (auto _ : state) {
        std::unique_ptr<Smaf> smaf = ImportMidi(file);
        auto compiled = CompileSMAF(*smaf);
        benchmark::DoNotOptimize(compiled);
    }
}
BENCHMARK(ImportAndCompileTenThousandNotes)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rolvik

BENCHMARK_MAIN();
