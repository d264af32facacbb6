#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <numeric>
#include <set>

#include "SynthTestSupport.h"
#include "core/CheckCode.h"
#include "core/Compiler.h"
#include "core/FileIO.h"
#include "core/Loader.h"
#include "core/Number.h"
#include "core/Smaf.h"
#include "synth/EngineCore.h"
#include "synth/OfflineRenderer.h"
#include "synth/Song.h"
#include "synth/Synthesizer.h"
#include "tests/support/Corpus.h"
#include "tests/support/SmafImage.h"

namespace rolvik::synth::test {
namespace {

constexpr int kMsFrames = 48;
constexpr std::size_t kCompiledChannelStatusAt = 33;  // the score track's, in a compiled file

std::unique_ptr<Event> NoteEvent(std::uint32_t timeMs, int channel, int key, std::uint32_t gateMs) {
    ByteVector data = {static_cast<std::uint8_t>(key), 100};
    WriteNumber(data, gateMs);
    return std::make_unique<Event>(timeMs, static_cast<std::uint8_t>(0x90 | channel), data);
}

std::unique_ptr<Event> ControlEvent(std::uint32_t timeMs, int channel, std::uint8_t controller,
                                    std::uint8_t value) {
    return std::make_unique<Event>(timeMs, static_cast<std::uint8_t>(0xB0 | channel),
                                   ByteVector{controller, value});
}

std::unique_ptr<Event> ExclusiveEvent(std::uint32_t timeMs, const ByteVector& message) {
    ByteVector data;
    WriteNumber(data, static_cast<std::uint32_t>(message.size() - 1));
    data.insert(data.end(), message.begin() + 1, message.end());
    return std::make_unique<Event>(timeMs, 0xF0, data);
}

// Compiles events into a SMAF file (1 ms timebases), with the given channel status bytes.
ByteVector CompileSong(std::vector<std::unique_ptr<Event>> events,
                       const std::array<std::uint8_t, 16>& channelStatus = {}) {
    auto smaf = CreateSmaf(1, 1);
    for (auto& event : events) {
        InsertEvent(*smaf, std::move(event));
    }
    ByteVector file = CompileSMAF(*smaf).value();
    std::copy(channelStatus.begin(), channelStatus.end(), file.begin() + kCompiledChannelStatusAt);
    const std::uint16_t code = SmafCheckCode(Bytes(file).first(file.size() - 2));
    file[file.size() - 2] = static_cast<std::uint8_t>(code >> 8);
    file[file.size() - 1] = static_cast<std::uint8_t>(code & 0xFF);
    return file;
}

// Three sine notes on channel 0: 0–200, 500–700 and 1000–1200 ms.
ByteVector ThreeNoteSong() {
    std::vector<std::unique_ptr<Event>> events;
    events.push_back(ExclusiveEvent(0, VoiceMessage(124, 0, 0, 0, SineVoice())));
    events.push_back(NoteEvent(0, 0, 69, 200));
    events.push_back(NoteEvent(500, 0, 69, 200));
    events.push_back(NoteEvent(1000, 0, 69, 200));
    return CompileSong(std::move(events));
}

// Frames rendered until the song has ended, in blocks of 48 frames.
int FramesUntilEnd(const Song& song, int tempo) {
    RenderOptions options;
    options.tempo = tempo;
    OfflineRenderer renderer(song, options);
    std::vector<float> left(kMsFrames), right(kMsFrames);
    int frames = 0;
    while (!renderer.songEnded() && frames < 60 * 48000) {
        frames += renderer.Render(left.data(), right.data(), kMsFrames);
    }
    return frames;
}

TEST(SongTest, LoadRefusesWhatIsNotAPlayableSmafFile) {
    const ByteVector good = ThreeNoteSong();
    ASSERT_NE(LoadSong(good), nullptr);
    ByteVector damaged = good;
    damaged[damaged.size() / 2] ^= 0x01;
    EXPECT_EQ(LoadSong(damaged), nullptr) << "check code";
    EXPECT_EQ(LoadSong(ByteVector{'M', 'M', 'M', 'D'}), nullptr);
    ByteVector notSmaf = good;
    notSmaf[0] = 'X';
    EXPECT_EQ(LoadSong(notSmaf), nullptr);
    // A whole SMAF file whose only chunk is the contents information has no score track.
    ByteVector noTrack = {'M', 'M', 'M', 'D', 0, 0,    0, 15,   'C', 'N', 'T', 'I',
                          0,   0,   0,   5,   0, 0x32, 0, 0xF8, 0,   0,   0};
    const std::uint16_t code = SmafCheckCode(Bytes(noTrack).first(noTrack.size() - 2));
    noTrack[noTrack.size() - 2] = static_cast<std::uint8_t>(code >> 8);
    noTrack[noTrack.size() - 1] = static_cast<std::uint8_t>(code & 0xFF);
    ASSERT_TRUE(HasValidCheckCode(noTrack));
    EXPECT_EQ(LoadSong(noTrack), nullptr);
}

TEST(SequencerTest, PositionFollowsTheRenderedSamplesAtTheTempo) {
    const auto song = LoadSong(ThreeNoteSong());
    for (int tempo : {70, 100, 130}) {
        RenderOptions options;
        options.tempo = tempo;
        OfflineRenderer renderer(*song, options);
        std::vector<float> left(4800), right(4800);
        renderer.Render(left.data(), right.data(), 4800);
        renderer.Render(left.data(), right.data(), 4800);
        EXPECT_EQ(renderer.positionMs(), 200u * tempo / 100) << "tempo " << tempo;
    }
}

TEST(SequencerTest, EndsWhenTheLastNoteHasBeenLetGo) {
    const auto song = LoadSong(ThreeNoteSong());
    const int frames = FramesUntilEnd(*song, 100);
    EXPECT_NEAR(frames / double(kMsFrames), 1200.0, 1.0);
    EXPECT_NEAR(FramesUntilEnd(*song, 130), frames * 100.0 / 130.0, kMsFrames);
    EXPECT_NEAR(FramesUntilEnd(*song, 70), frames * 100.0 / 70.0, kMsFrames);
}

TEST(SequencerTest, DemoSongAtTempo130EndsAfter100Of130OfItsLength) {
    const auto bytes = ReadWholeFile(ROLVIK_SOURCE_DIR "/res/demo.mmf");
    ASSERT_TRUE(bytes.has_value());
    const auto song = LoadSong(*bytes);
    ASSERT_NE(song, nullptr);
    const int written = FramesUntilEnd(*song, 100);
    EXPECT_GT(written, 5 * 48000);
    EXPECT_NEAR(FramesUntilEnd(*song, 130), written * 100.0 / 130.0, kMsFrames);
}

TEST(SequencerTest, NotesSoundFromTheirEventToTheirGate) {
    const auto song = LoadSong(ThreeNoteSong());
    OfflineRenderer renderer(*song, {});
    std::vector<float> left(1400 * kMsFrames), right(1400 * kMsFrames);
    renderer.Render(left.data(), right.data(), static_cast<int>(left.size()));
    auto levelAt = [&left](int ms) {
        return Rms(std::span(left).subspan(ms * kMsFrames, 20 * kMsFrames));
    };
    EXPECT_GT(levelAt(100), 0.02);
    EXPECT_LT(levelAt(300), 1e-6);
    EXPECT_GT(levelAt(550), 0.02);
    EXPECT_LT(levelAt(800), 1e-6);
    EXPECT_GT(levelAt(1100), 0.02);
}

TEST(SequencerTest, NoteThatIgnoresKeyOffFadesOutAtTheEndOfTheTail) {
    OperatorSettings carrier;
    carrier.xof = true;
    carrier.rr = 2;
    std::vector<std::unique_ptr<Event>> events;
    events.push_back(ExclusiveEvent(0, VoiceMessage(124, 0, 0, 0, SineVoice(carrier))));
    events.push_back(NoteEvent(0, 0, 69, 100));
    const auto song = LoadSong(CompileSong(std::move(events)));
    RenderOptions options;
    options.maxTailMs = 200;
    OfflineRenderer renderer(*song, options);
    std::vector<float> heard;
    std::vector<float> left(kMsFrames), right(kMsFrames);
    while (const int frames = renderer.Render(left.data(), right.data(), kMsFrames)) {
        heard.insert(heard.end(), left.begin(), left.begin() + frames);
    }
    ASSERT_NEAR(heard.size(), 300 * kMsFrames, 10 * kMsFrames);
    EXPECT_GT(Rms(std::span(heard).last(50 * kMsFrames).first(20 * kMsFrames)), 0.02);
    EXPECT_LT(Rms(std::span(heard).last(kMsFrames)), 1e-3);
}

TEST(SequencerTest, NoteWithoutVelocityTakesTheChannelsLastOne) {
    auto noteWithoutVelocity = [](std::uint32_t timeMs) {
        ByteVector data = {69};
        WriteNumber(data, 200);
        return std::make_unique<Event>(timeMs, std::uint8_t{0x80}, data);
    };
    std::vector<std::unique_ptr<Event>> events;
    events.push_back(ExclusiveEvent(0, VoiceMessage(124, 0, 0, 0, SineVoice())));
    events.push_back(noteWithoutVelocity(0));
    auto loud = NoteEvent(500, 0, 69, 200);
    loud->data[1] = 127;
    events.push_back(std::move(loud));
    events.push_back(noteWithoutVelocity(1000));
    const auto song = LoadSong(CompileSong(std::move(events)));
    OfflineRenderer renderer(*song, {});
    std::vector<float> left(1300 * kMsFrames), right(1300 * kMsFrames);
    renderer.Render(left.data(), right.data(), static_cast<int>(left.size()));
    auto levelAt = [&left](int ms) {
        return RmsDb(std::span(left).subspan(ms * kMsFrames, 100 * kMsFrames));
    };
    EXPECT_NEAR(levelAt(1050), levelAt(550), 0.1);
    EXPECT_NEAR(levelAt(550) - levelAt(50), 40.0 * std::log10(127.0 / 64.0), 0.2);
}

TEST(SequencerTest, SeekReplaysEverythingButTheNotesBeforeThePosition) {
    const auto song = LoadSong(ThreeNoteSong());
    EngineCore core;
    Command command;
    command.type = CommandType::SetSong;
    command.song = song.get();
    core.Apply(command);
    command.type = CommandType::Seek;
    command.value = 550;
    core.Apply(command);
    command.type = CommandType::Start;
    core.Apply(command);
    EXPECT_EQ(core.sequencer().positionMs(), 550u);
    std::vector<float> left(300 * kMsFrames), right(300 * kMsFrames);
    core.Render(left.data(), right.data(), 200 * kMsFrames);
    EXPECT_LT(Rms(std::span(left).first(200 * kMsFrames)), 1e-6) << "the note at 500 is skipped";
    core.Render(left.data(), right.data(), 300 * kMsFrames);
    // The voice defined at 0 ms was replayed: the note at 1000 ms is the sine.
    EXPECT_NEAR(FrequencyHz(std::span(left).subspan(100 * kMsFrames)), 440.0, 0.3);
}

TEST(SequencerTest, KeyPitchMovesMelodyButNotDrums) {
    std::vector<std::unique_ptr<Event>> events;
    events.push_back(ExclusiveEvent(0, VoiceMessage(124, 0, 0, 0, SineVoice())));
    events.push_back(NoteEvent(0, 0, 69, 1000));
    const auto melody = LoadSong(CompileSong(std::move(events)));
    RenderOptions options;
    options.keyPitch = 12;
    OfflineRenderer renderer(*melody, options);
    std::vector<float> left(48000), right(48000);
    renderer.Render(left.data(), right.data(), 48000);
    EXPECT_NEAR(FrequencyHz(std::span(left).subspan(4800, 38400)), 880.0, 0.5);

    // General MIDI songs select bank 0 for their drums; the channel stays a drum channel.
    std::vector<std::unique_ptr<Event>> drumEvents;
    drumEvents.push_back(ControlEvent(0, 9, 0x00, 0));
    drumEvents.push_back(NoteEvent(0, 9, 38, 300));
    const auto drums = LoadSong(CompileSong(std::move(drumEvents)));
    auto render = [&drums](int keyPitch) {
        RenderOptions drumOptions;
        drumOptions.keyPitch = keyPitch;
        OfflineRenderer drumRenderer(*drums, drumOptions);
        std::vector<float> l(24000), r(24000);
        drumRenderer.Render(l.data(), r.data(), 24000);
        return l;
    };
    const auto untransposed = render(0);
    EXPECT_GT(Rms(untransposed), 0.001);
    EXPECT_EQ(render(12), untransposed);
    EXPECT_EQ(render(-12), untransposed);
}

// A HandyPhone ringer that plays through FM register writes: 331.5 Hz keyed on at 0 and 600 ms,
// off at 300 and 900 ms.
ByteVector RegisterSong() {
    std::vector<std::unique_ptr<Event>> events;
    events.push_back(ExclusiveEvent(0, VoiceMessage(124, 0, 0, 0, SineVoice())));
    for (const std::uint32_t ms : {0u, 600u}) {
        events.push_back(ExclusiveEvent(ms, {0xF0, 0x43, 0x03, 0x90, 0xB0, 0xB5, 0xF7}));
        events.push_back(ExclusiveEvent(ms, {0xF0, 0x43, 0x03, 0x90, 0xC0, 0x31, 0xF7}));
        events.push_back(ExclusiveEvent(ms + 300, {0xF0, 0x43, 0x03, 0x90, 0xC0, 0x11, 0xF7}));
    }
    return CompileSong(std::move(events));
}

TEST(SequencerTest, RegisterWritesSoundFromTheirKeyOnButNotInASeeksCatchUp) {
    const auto song = LoadSong(RegisterSong());
    ASSERT_NE(song, nullptr);
    auto render = [&song](std::uint32_t fromMs) {
        RenderOptions options;
        options.fromMs = fromMs;
        OfflineRenderer renderer(*song, options);
        std::vector<float> left(1000 * kMsFrames), right(1000 * kMsFrames);
        renderer.Render(left.data(), right.data(), static_cast<int>(left.size()));
        return left;
    };
    const auto played = render(0);
    const auto first = std::span(played).subspan(50 * kMsFrames, 240 * kMsFrames);
    EXPECT_NEAR(FrequencyHz(first), 0x1B5 * 49716.0 / 65536.0, 0.3);
    EXPECT_LT(Rms(std::span(played).subspan(400 * kMsFrames, 190 * kMsFrames)), 1e-6);
    EXPECT_GT(Rms(std::span(played).subspan(650 * kMsFrames, 240 * kMsFrames)), 0.01);

    const auto sought = render(100);
    EXPECT_EQ(Rms(std::span(sought).first(490 * kMsFrames)), 0.0);
    EXPECT_GT(Rms(std::span(sought).subspan(550 * kMsFrames, 240 * kMsFrames)), 0.01);
}

// A HandyPhone song whose third track plays A4 for 400 ms on its second channel (channel index 9)
// after selecting bank 0 there, as the older songs do for a melody, with a sine at bank 0 (which
// lives at the melody bank's LSB 0).
ByteVector HandyPhoneSongOnChannelNine() {
    using namespace rolvik::testing;
    const ByteVector voice = VoiceMessage(kMelodyBank, 0, 0, 0, SineVoice());
    ByteVector sequence = {0x00, 0xFF, 0xF0, static_cast<std::uint8_t>(voice.size() - 1)};
    sequence.insert(sequence.end(), voice.begin() + 1, voice.end());
    const ByteVector bankAndNote = {0x00, 0x00, 0x71, 0x00, 0x00, 0x00, 0x70,
                                    0x00, 0x00, 0x69, 0x64, 0x7F, 0xFF, 0x00};
    sequence.insert(sequence.end(), bankAndNote.begin(), bankAndNote.end());
    return MakeFile(Concat({MakeTrack(1, 0, 0x02, 0x02, {}), MakeTrack(2, 0, 0x02, 0x02, {}),
                            MakeTrack(3, 0, 0x02, 0x02, MakeChunk("Mtsq", sequence))}));
}

// Channel index 9 is the drum channel of the newer songs only; in the older format it is the
// second channel of the third track like any other.
// HandyPhone notes know no velocity and sound at full level, as a note of velocity 127 does.
TEST(SequencerTest, HandyPhoneSongsPlayChannelNineAsMelodyAtFullLevel) {
    auto render = [](const ByteVector& file) {
        const auto song = LoadSong(file);
        EXPECT_NE(song, nullptr);
        OfflineRenderer renderer(*song, RenderOptions{});
        std::vector<float> left(400 * kMsFrames), right(400 * kMsFrames);
        renderer.Render(left.data(), right.data(), static_cast<int>(left.size()));
        return std::vector<float>(left.begin() + 50 * kMsFrames, left.begin() + 350 * kMsFrames);
    };
    const auto handyPhone = render(HandyPhoneSongOnChannelNine());
    EXPECT_NEAR(FrequencyHz(handyPhone), 440.0, 0.5);
    std::vector<std::unique_ptr<Event>> events;
    events.push_back(ExclusiveEvent(0, VoiceMessage(124, 0, 0, 0, SineVoice())));
    ByteVector loudest = {69, 127};
    WriteNumber(loudest, 400);
    events.push_back(std::make_unique<Event>(0, 0x90, loudest));
    EXPECT_NEAR(RmsDb(handyPhone), RmsDb(render(CompileSong(std::move(events)))), 0.5);
}

TEST(SequencerTest, LedAndVibrationFollowTheirChannelsNotes) {
    std::vector<std::unique_ptr<Event>> events;
    events.push_back(NoteEvent(0, 0, 60, 300));
    events.push_back(NoteEvent(500, 1, 64, 300));
    events.push_back(NoteEvent(1000, 2, 67, 300));
    std::array<std::uint8_t, 16> status{};
    status[0] = 0x10;  // LED
    status[1] = 0x20;  // vibration
    const auto song = LoadSong(CompileSong(std::move(events), status));
    ASSERT_NE(song, nullptr);
    EngineCore core;
    Command command;
    command.type = CommandType::SetSong;
    command.song = song.get();
    core.Apply(command);
    command.type = CommandType::Start;
    core.Apply(command);
    std::vector<float> left(100 * kMsFrames), right(100 * kMsFrames);
    const std::pair<int, int> expected[] = {{100, 1}, {400, 0}, {600, 2}, {900, 0}, {1100, 0}};
    int renderedMs = 0;
    for (const auto& [ms, info] : expected) {
        while (renderedMs < ms) {
            core.Render(left.data(), right.data(), 100 * kMsFrames);
            renderedMs += 100;
        }
        EXPECT_EQ(core.sequencer().DeviceInfo(), info) << "at " << ms << " ms";
    }
}

// A note event, or a write to the FM registers that keys a note on (HandyPhone ringers that play
// only through them).
bool StrikesANote(const SongEvent& event) {
    return event.isNote || (event.type == MessageType::RegisterWrite &&
                            (event.address & 0xF0) == 0xC0 && (event.value & 0x20) != 0);
}

// The largest mean of any 100 ms of the signal, taken every 10 ms: the offset that a run of notes
// leaves in the output.
double WorstOffset(std::span<const float> signal) {
    constexpr std::size_t kWindow = 100 * kMsFrames;
    double worst = 0.0;
    for (std::size_t start = 0; start + kWindow <= signal.size(); start += 10 * kMsFrames) {
        const auto window = signal.subspan(start, kWindow);
        worst = std::max(worst, std::fabs(std::accumulate(window.begin(), window.end(), 0.0)) /
                                    static_cast<double>(kWindow));
    }
    return worst;
}

// Samples that a 16-bit file holds at full scale.
long ClippedSamples(std::span<const float> signal) {
    return std::count_if(signal.begin(), signal.end(),
                         [](float sample) { return std::fabs(sample) >= 32767.0f / 32768.0f; });
}

void Apply(EngineCore& core, CommandType type, std::int32_t value = 0) {
    Command command;
    command.type = type;
    command.value = value;
    core.Apply(command);
}

// Two seconds of every song from its first note: heard, without offset or clipping, and silent
// within 50 ms of a stop.
TEST(CorpusTest, EverySongWithAScoreTrackIsHeardCleanlyAndStops) {
    ROLVIK_REQUIRE_CORPUS();
    // An older-format song that sets its only channel's expression to 0 (a three-byte control)
    // before its only note: silent by its own events.
    const std::set<std::string> mutedByTheirEvents = {"libsmaf__j-sh08_33.mmf"};
    int rendered = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ROLVIK_CORPUS_DIR)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".mmf" && extension != ".MMF") {
            continue;
        }
        const auto bytes = ReadWholeFile(entry.path());
        ASSERT_TRUE(bytes.has_value());
        const auto song = LoadSong(*bytes);
        if (!song) {
            continue;
        }
        EngineCore core;
        Command load;
        load.type = CommandType::SetSong;
        load.song = song.get();
        core.Apply(load);
        const auto firstNote = std::find_if(song->events.begin(), song->events.end(), StrikesANote);
        if (firstNote != song->events.end() && firstNote->timeMs > song->startOffsetMs) {
            Apply(core, CommandType::Seek,
                  static_cast<std::int32_t>(firstNote->timeMs - song->startOffsetMs));
        }
        Apply(core, CommandType::Start);
        std::vector<float> left(2000 * kMsFrames), right(2000 * kMsFrames);
        core.Render(left.data(), right.data(), static_cast<int>(left.size()));
        const std::string name = entry.path().filename().string();
        if (firstNote != song->events.end() && !mutedByTheirEvents.contains(name)) {
            EXPECT_GT(Rms(left) + Rms(right), 1e-4) << name;
        }
        for (const std::vector<float>* side : {&left, &right}) {
            EXPECT_LT(WorstOffset(*side), 0.04) << name;
            EXPECT_EQ(ClippedSamples(*side), 0) << name;
        }
        Apply(core, CommandType::Stop);
        core.Render(left.data(), right.data(), 100 * kMsFrames);
        EXPECT_LT(RmsDb(std::span(left).subspan(50 * kMsFrames, 50 * kMsFrames)), -54.0) << name;
        ++rendered;
    }
    EXPECT_GE(rendered, 60);
}

// Whether channel index 9 is a drum channel when the song strikes its first note there.
bool ChannelNineIsDrumAtItsFirstNote(const Song& song) {
    Synthesizer synthesizer;
    synthesizer.SetDrumChannels(song.drumChannels);
    synthesizer.Reset();
    for (const SongEvent& event : song.events) {
        if (event.isNote && event.channel == 9) {
            return synthesizer.channel(9).isDrum();
        }
        if (!event.isNote) {
            synthesizer.ApplySilently(song.Message(event));
        }
    }
    ADD_FAILURE() << "no note on channel index 9";
    return true;
}

TEST(CorpusTest, CompiledHandyPhoneSongKeepsItsChannelNineMelody) {
    ROLVIK_REQUIRE_CORPUS();
    const auto smaf = OpenSmaf(ROLVIK_CORPUS_DIR "/vavi__HappyPoppy.mmf");
    ASSERT_TRUE(smaf);
    const auto original = LoadSong(smaf->fileData);
    const auto compiled = LoadSong(CompileSMAF(*smaf).value());
    ASSERT_TRUE(original && compiled);
    EXPECT_FALSE(ChannelNineIsDrumAtItsFirstNote(*original));
    EXPECT_EQ(compiled->drumChannels, kGeneralMidiDrumChannels) << "a Mobile Standard file";
    EXPECT_FALSE(ChannelNineIsDrumAtItsFirstNote(*compiled));
}

// The first seconds of a song, both sides one after the other.
std::vector<float> RenderStart(Bytes file, std::uint32_t lengthMs) {
    const auto song = LoadSong(file);
    EXPECT_NE(song, nullptr);
    if (!song) {
        return {};
    }
    RenderOptions options;
    options.toMs = lengthMs;
    OfflineRenderer renderer(*song, options);
    std::vector<float> left(lengthMs * kMsFrames), right(lengthMs * kMsFrames);
    const int rendered = renderer.Render(left.data(), right.data(), static_cast<int>(left.size()));
    left.resize(static_cast<std::size_t>(rendered));
    left.insert(left.end(), right.begin(), right.begin() + rendered);
    return left;
}

// The level of the difference of two renders against the first's, in dB; minus infinity when
// they are the same.
double DifferenceDb(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size()) {
        return 0.0;
    }
    double difference = 0.0, level = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        difference += (a[i] - b[i]) * (a[i] - b[i]);
        level += a[i] * a[i];
    }
    return 10.0 * std::log10(difference / level);
}

// The file with the voice bytes of its first two HandyPhone voice definitions that differ
// exchanged (each keeps its bank and program), and its check code made anew.
ByteVector WithTwoVoicesSwapped(ByteVector file) {
    std::vector<std::size_t> voices;
    for (std::size_t i = 0; i + 6 < file.size(); ++i) {
        const bool definition = file[i] == 0xFF && file[i + 1] == 0xF0 &&
                                (file[i + 2] == 18 || file[i + 2] == 28) && file[i + 3] == 0x43 &&
                                file[i + 4] == 0x03;
        if (definition) {
            voices.push_back(i + 8);
        }
    }
    for (std::size_t a = 0; a < voices.size(); ++a) {
        for (std::size_t b = a + 1; b < voices.size(); ++b) {
            const std::size_t length = file[voices[a] - 6] - 6u;
            if (file[voices[b] - 6] - 6u == length &&
                !std::equal(file.begin() + voices[a], file.begin() + voices[a] + length,
                            file.begin() + voices[b])) {
                std::swap_ranges(file.begin() + voices[a], file.begin() + voices[a] + length,
                                 file.begin() + voices[b]);
                const std::uint16_t check = SmafCheckCode(Bytes(file).first(file.size() - 2));
                file[file.size() - 2] = static_cast<std::uint8_t>(check >> 8);
                file[file.size() - 1] = static_cast<std::uint8_t>(check);
                return file;
            }
        }
    }
    ADD_FAILURE() << "no two different voices";
    return file;
}

// HandyPhone songs play the voices they define (two and four operators): exchanging two voices'
// bytes changes the sound.
TEST(CorpusTest, HandyPhoneSongsPlayTheirOwnVoices) {
    ROLVIK_REQUIRE_CORPUS();
    for (const char* name : {"vavi__cher.mmf", "libsmaf__Sound_44_3.mmf"}) {
        const auto file = ReadWholeFile(std::filesystem::path(ROLVIK_CORPUS_DIR) / name);
        ASSERT_TRUE(file.has_value()) << name;
        const auto own = RenderStart(*file, 6000);
        EXPECT_GT(DifferenceDb(own, RenderStart(WithTwoVoicesSwapped(*file), 6000)), -20.0) << name;
    }
}

// Rolvik renders a compiled HandyPhone song as it renders the song: its voices, the notes' level
// and the notes written to the registers come through. Those notes' pitch goes through the
// channel's pitch bend, which also moves the release of the note before, so they come near.
TEST(CorpusTest, CompiledHandyPhoneSongsRenderAsTheOriginals) {
    ROLVIK_REQUIRE_CORPUS();
    constexpr double kSame = -std::numeric_limits<double>::infinity();
    const std::pair<const char*, double> songs[] = {
        {"vavi__cher.mmf", kSame},                         // two-operator voices, drum banks
        {"libsmaf__Sound_44_3.mmf", kSame},                // four-operator voices
        {"vavi__Komekome_Club_-_Roman_Hikou.mmf", kSame},  // channels that select no bank
        {"vavi__SunSpinach.mmf", kSame},                   // default voices
        {"libsmaf__Canon.MMF", -25.0},                     // notes written to the registers
    };
    for (const auto& [name, allowedDb] : songs) {
        const auto smaf = OpenSmaf(std::filesystem::path(ROLVIK_CORPUS_DIR) / name);
        ASSERT_TRUE(smaf) << name;
        const auto original = RenderStart(smaf->fileData, 8000);
        const auto compiled = RenderStart(CompileSMAF(*smaf).value(), 8000);
        EXPECT_LE(DifferenceDb(original, compiled), allowedDb) << name;
    }
}

// A song that loops from 300 to 600 ms after an introduction: a note at 0; at the start point a
// note of 440 Hz; at 500 ms a note whose gate runs 200 ms past the stop point; at 550 ms a volume
// change that the return to the start point must undo.
ByteVector LoopingSong() {
    auto smaf = CreateSmaf(1, 1);
    InsertEvent(*smaf, ExclusiveEvent(0, VoiceMessage(124, 0, 0, 0, SineVoice())));
    InsertEvent(*smaf, NoteEvent(0, 0, 60, 200));
    InsertEvent(*smaf, ControlEvent(300, 0, 7, 100));
    smaf->start = InsertEvent(*smaf, NoteEvent(300, 0, 69, 100));
    InsertEvent(*smaf, NoteEvent(500, 0, 76, 300));
    InsertEvent(*smaf, ControlEvent(550, 0, 7, 30));
    smaf->stop = InsertEvent(*smaf, std::make_unique<Event>(600, 0xFF, ByteVector{0x00}));
    return CompileSMAF(*smaf).value();
}

std::vector<float> RenderWhole(const Song& song, const RenderOptions& options) {
    OfflineRenderer renderer(song, options);
    std::vector<float> left(kMsFrames), right(kMsFrames), whole;
    while (const int frames = renderer.Render(left.data(), right.data(), kMsFrames)) {
        whole.insert(whole.end(), left.begin(), left.begin() + frames);
    }
    return whole;
}

// The introduction plays once, each pass after the first sounds exactly as the one before (the
// channels and the LFOs as at the start point, the notes that ring across the seam going on), and
// the output ends exactly where it should, faded to silence.
TEST(RingtoneRenderTest, LoopsAfterTheIntroductionAndEveryPassSoundsTheSame) {
    const auto song = LoadSong(LoopingSong());
    ASSERT_NE(song, nullptr);
    RenderOptions options;
    options.loops = 3;
    options.fadeMs = 100;
    const std::vector<float> out = RenderWhole(*song, options);
    constexpr std::size_t kPass = 300 * kMsFrames;
    ASSERT_EQ(out.size(), kPass * 4 + 100 * kMsFrames);
    const auto pass = [&](std::size_t n, std::size_t fromMs, std::size_t toMs) {
        return std::span(out).subspan(kPass * n + fromMs * kMsFrames, (toMs - fromMs) * kMsFrames);
    };
    EXPECT_GT(Rms(pass(0, 0, 100)), 0.01) << "the introduction plays";
    const auto second = pass(2, 0, 300);
    const auto third = pass(3, 0, 300);
    for (std::size_t i = 0; i < second.size(); ++i) {
        ASSERT_NEAR(second[i], third[i], 1e-5) << i;
    }
    EXPECT_NEAR(ToneMagnitude(pass(2, 0, 100), 440), ToneMagnitude(pass(1, 0, 100), 440),
                0.01 * ToneMagnitude(pass(1, 0, 100), 440))
        << "the volume of the start point is back";
    for (std::size_t i = 0; i < 50 * kMsFrames; ++i) {
        // The output stage's DC blocker still remembers, at -80 dB, what came before the pass.
        ASSERT_NEAR(pass(1, 250, 300)[i], pass(2, 250, 300)[i], 1e-4) << i;
    }
    EXPECT_GT(Rms(pass(2, 0, 150)), Rms(pass(1, 0, 150))) << "the note from 500 ms rings across";
    EXPECT_LT(std::abs(out.back()), 1e-3);
}

TEST(RingtoneRenderTest, LengthIsExactAndEndsInAFade) {
    const auto song = LoadSong(LoopingSong());
    RenderOptions options;
    options.lengthMs = 2345;
    options.fadeMs = 500;
    const std::vector<float> out = RenderWhole(*song, options);
    ASSERT_EQ(out.size(), 2345u * kMsFrames);
    const auto span = std::span(out);
    EXPECT_LT(Rms(span.last(20 * kMsFrames)),
              0.1 * Rms(span.subspan(1500 * kMsFrames, 300 * kMsFrames)));

    options.loops = 2;
    options.lengthMs.reset();
    options.fadeMs = 0;
    const std::vector<float> twice = RenderWhole(*song, options);
    EXPECT_GT(twice.size(), 900u * kMsFrames) << "the last loop's notes ring out";
    EXPECT_LT(twice.size(), 1900u * kMsFrames);
}

}  // namespace
}  // namespace rolvik::synth::test
