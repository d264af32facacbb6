#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "SynthTestSupport.h"
#include "core/Chunk.h"
#include "core/FileIO.h"
#include "synth/EngineCore.h"
#include "synth/LookAheadLimiter.h"
#include "synth/OfflineRenderer.h"
#include "synth/Song.h"
#include "tests/support/Corpus.h"
#include "tests/support/SmafImage.h"

namespace rolvik::synth::test {
namespace {

using rolvik::testing::Concat;
using rolvik::testing::MakeChunk;
using rolvik::testing::MakeFile;

constexpr int kMsFrames = 48;
constexpr double kLimiterLatencyMs = double{LookAheadLimiter::kLatencyFrames} / kMsFrames;

// A song that is only an audio track (8000 Hz, 4 ms ticks): at 100 ms it triggers its wave, 50 ms
// of a loud tone, with a gate of 100 ms; the track ends at 300 ms. The tone carries an offset,
// whose fading remainder the output stage's high-pass leaves behind it, some 45 dB down.
ByteVector AudioOnlySong() {
    const ByteVector sequence = {
        0x00, 0x00, 0x37, 0x7F,  // volume 127
        0x19, 0x01, 0x19,        // 100 ms: wave 1, gate 100 ms
        0x32, 0xFF, 0x00,        // 200 ms later: nothing
        0x00, 0x00, 0x00,        // the end
    };
    const ByteVector wave(200, 0x7F);
    return MakeFile(
        MakeChunk(std::string{'A', 'T', 'R', '\0'}, Concat({{0x00, 0x00, 0x11, 0x00, 0x02, 0x02},
                                                            MakeChunk("Atsq", sequence),
                                                            MakeChunk("Awa\x01", wave)})));
}

std::vector<float> RenderMs(const Song& song, std::uint32_t fromMs, int ms) {
    RenderOptions options;
    options.fromMs = fromMs;
    OfflineRenderer renderer(song, options);
    std::vector<float> left(ms * kMsFrames), right(ms * kMsFrames);
    const int frames = renderer.Render(left.data(), right.data(), static_cast<int>(left.size()));
    left.resize(frames);
    return left;
}

// Real time until the song reports its end, at a tempo.
double MsUntilEnd(const Song& song, int tempo) {
    RenderOptions options;
    options.tempo = tempo;
    OfflineRenderer renderer(song, options);
    std::vector<float> left(kMsFrames), right(kMsFrames);
    int frames = 0;
    while (!renderer.songEnded() && frames < 2 * 48000) {
        frames += renderer.Render(left.data(), right.data(), kMsFrames);
    }
    return frames / double(kMsFrames);
}

double LevelDb(const std::vector<float>& signal, int fromMs, int toMs) {
    return RmsDb(std::span(signal).subspan(fromMs * kMsFrames, (toMs - fromMs) * kMsFrames));
}

TEST(AudioTrackPlayback, AudioOnlySongPlaysItsPhraseAtItsTimeAndLength) {
    const auto song = LoadSong(AudioOnlySong());
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(SongLengthMs(*song), 300u);
    const auto heard = RenderMs(*song, 0, 400);
    ASSERT_GE(heard.size(), 300u * kMsFrames);
    EXPECT_LT(LevelDb(heard, 0, 99), -120.0);
    EXPECT_GT(LevelDb(heard, 101, 149), -26.0);
    EXPECT_LT(LevelDb(heard, 152, 300), -40.0);

    EXPECT_NEAR(MsUntilEnd(*song, 100), 300.0, 2.0);
    EXPECT_NEAR(MsUntilEnd(*song, 130), 300.0 * 100 / 130, 2.0);
}

// When the song first sounds, in ms from the beginning of its sequence.
double FirstSoundMs(const Song& song) {
    const auto heard = RenderMs(song, 0, static_cast<int>(SongLengthMs(song)));
    const auto first = std::find_if(heard.begin(), heard.end(),
                                    [](float sample) { return std::abs(sample) > 1e-3f; });
    return static_cast<double>(first - heard.begin()) / kMsFrames;
}

TEST(AudioTrackPlayback, AudioOnlySongKeepsTheTimeBeforeItsStartPoint) {
    // The same song with its start point 100 ms in, on the event after the trigger.
    ByteVector file = AudioOnlySong();
    const ByteVector info =
        MakeChunk("AspI", {'s', 't', ':', 0, 0, 0, 7, ',', 's', 'p', ':', 0, 0, 0, 10, ','});
    ByteVector contents(file.begin() + 8, file.end() - 2);
    ByteVector track(contents.begin() + 8, contents.end());
    track.insert(track.begin() + 6, info.begin(), info.end());
    const auto song = LoadSong(MakeFile(MakeChunk(std::string{'A', 'T', 'R', '\0'}, track)));
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(SongLengthMs(*song), 300u);
    EXPECT_NEAR(FirstSoundMs(*song), 100.0 + kLimiterLatencyMs, 1.0);

    ROLVIK_REQUIRE_CORPUS();
    // The audio tracks of real songs played alone: their start points lie behind a lead-in of
    // 2088, 2000 and 248 ms, which the first wave still waits out.
    const std::pair<const char*, double> corpus[] = {{"libsmaf__HappyPoppy.mmf", 2348.0},
                                                     {"vavi__RingRing.mmf", 2004.0},
                                                     {"retrocode__dontgo.mmf", 252.0}};
    for (const auto& [name, firstTriggerMs] : corpus) {
        const auto bytes = ReadWholeFile(std::filesystem::path(ROLVIK_CORPUS_DIR) / name);
        ASSERT_TRUE(bytes.has_value()) << name;
        ChunkWalker chunks(FileChunkRun(*bytes));
        ByteVector audioOnly;
        while (auto entry = chunks.Next()) {
            if (BytesEqual(entry->id.first(3), "ATR")) {
                audioOnly = MakeFile(MakeChunk(
                    std::string(entry->id.begin(), entry->id.end()),
                    ByteVector(entry->chunk.contents.begin(), entry->chunk.contents.end())));
            }
        }
        const auto alone = LoadSong(audioOnly);
        ASSERT_NE(alone, nullptr) << name;
        EXPECT_NEAR(FirstSoundMs(*alone), firstTriggerMs, 2.0) << name;
    }
}

TEST(AudioTrackPlayback, TracksShareOneClockOnChannelsOfTheirOwn) {
    // Track 0 triggers at 100 ms, track 1 (channel 2 of it) at 40 and 100 ms.
    const ByteVector second = {0x0A, 0x81, 0x19,  // 40 ms: wave 1 on channel 2
                               0x0F, 0x81, 0x19,  // 100 ms: again
                               0x00, 0x00, 0x00};
    const ByteVector file = AudioOnlySong();
    const ByteVector first(file.begin() + 8, file.end() - 2);
    const ByteVector secondTrack = MakeChunk(std::string{'A', 'T', 'R', '\1'},
                                             Concat({{0x00, 0x00, 0x11, 0x00, 0x02, 0x02},
                                                     MakeChunk("Atsq", second),
                                                     MakeChunk("Awa\x01", ByteVector(200, 0x7F))}));
    const auto song = LoadSong(MakeFile(Concat({first, secondTrack})));
    ASSERT_NE(song, nullptr);
    std::vector<std::pair<std::uint32_t, int>> triggers;
    for (const SongAudioEvent& event : song->audioEvents) {
        if (event.event.kind == AudioEvent::Kind::Trigger) {
            triggers.emplace_back(event.timeMs, event.event.channel);
        }
    }
    EXPECT_EQ(triggers, (std::vector<std::pair<std::uint32_t, int>>{{40, 6}, {100, 0}, {100, 6}}));
}

TEST(AudioTrackPlayback, SeekIntoAPhrasePlaysItOnFromThere) {
    const auto song = LoadSong(AudioOnlySong());
    ASSERT_NE(song, nullptr);
    const auto heard = RenderMs(*song, 120, 100);
    EXPECT_GT(LevelDb(heard, 1, 29), -26.0);
    EXPECT_LT(LevelDb(heard, 32, 100), -34.0);
}

TEST(AudioTrackPlayback, CorpusSongsOfOnlyARecordingAreHeard) {
    ROLVIK_REQUIRE_CORPUS();
    for (const char* name : {"dlunch__wave.mmf", "libsmaf__S_36.mmf", "libsmaf__Sound_48.mmf"}) {
        const auto bytes = ReadWholeFile(std::filesystem::path(ROLVIK_CORPUS_DIR) / name);
        ASSERT_TRUE(bytes.has_value()) << name;
        const auto song = LoadSong(*bytes);
        ASSERT_NE(song, nullptr) << name;
        EXPECT_GT(SongLengthMs(*song), 150u) << name;
        const auto heard = RenderMs(*song, 0, static_cast<int>(SongLengthMs(*song)));
        EXPECT_GT(RmsDb(heard), -50.0) << name;
    }
}

// Whether the song sounds a wave of its own within its first minute.
bool SoundsAWave(const Song& song) {
    EngineCore core;
    Command command;
    command.type = CommandType::SetSong;
    command.song = &song;
    core.Apply(command);
    command.type = CommandType::Start;
    core.Apply(command);
    std::vector<float> left(10 * kMsFrames), right(10 * kMsFrames);
    for (int ms = 0; ms < 60000 && !core.sequencer().ended(); ms += 10) {
        core.Render(left.data(), right.data(), 10 * kMsFrames);
        if (core.synthesizer().SampledNoteCount() > 0) {
            return true;
        }
    }
    return false;
}

TEST(SampledSoundCorpus, EverySongWithWavesSoundsThem) {
    ROLVIK_REQUIRE_CORPUS();
    int withWaves = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ROLVIK_CORPUS_DIR)) {
        const auto bytes = ReadWholeFile(entry.path());
        const auto song = bytes ? LoadSong(*bytes) : nullptr;
        if (!song || (song->waves.empty() && song->audioEvents.empty())) {
            continue;
        }
        ++withWaves;
        EXPECT_TRUE(SoundsAWave(*song)) << entry.path().filename();
    }
    EXPECT_GE(withWaves, 30);
}

}  // namespace
}  // namespace rolvik::synth::test
