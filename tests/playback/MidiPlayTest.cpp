#include <gmock/gmock.h>

#include "EngineTest.h"
#include "core/Loader.h"
#include "core/Number.h"
#include "core/StreamWaveMessage.h"
#include "synth/Synthesizer.h"
#include "tests/support/Corpus.h"
#include "tests/support/SmafImage.h"

namespace rolvik {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const ByteVector kReset = {0xF0, 0x43, 0x79, 0x06, 0x7F, 0x7F, 0xF7};
const ByteVector kVolume127 = {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x09, 127, 0xF7};
const ByteVector kChannelNineMelody = {0xB9, 0x00, 124};

ByteVector NoteOn(int channel, int note, int velocity) {
    return {static_cast<std::uint8_t>(0x90 + channel), static_cast<std::uint8_t>(note),
            static_cast<std::uint8_t>(velocity)};
}

ByteVector NoteOff(int channel, int note) {
    return NoteOn(channel, note, 0);
}

// A body of the given length that looks like a voice definition for bank 124/3, program 7,
// note 60, ending with F7.
ByteVector ExclusiveBody(std::size_t length) {
    ByteVector body(length, 0x11);
    const ByteVector head = {0x43, 0x79, 0x07, 0x7F, 0x01, 124, 3, 7, 60};
    std::copy_n(head.begin(), std::min(head.size(), length), body.begin());
    body.back() = 0xF7;
    return body;
}

// A HandyPhone song's two-operator voice definition (18 bytes): bank 0, program 5.
const ByteVector kHandyPhoneVoice = {0x43, 0x03, 0x00, 0x00, 0x05, 0x40, 0x01, 0x14, 0x22,
                                     0x12, 0x2E, 0x21, 0x24, 0x21, 0x12, 0x00, 0x20, 0xF7};

class MidiPlayTest : public EngineTest {
  protected:
    Event* Add(std::uint32_t time, std::uint8_t status, ByteVector data) {
        return InsertEvent(*document, std::make_unique<Event>(time, status, std::move(data)));
    }
    Event* AddNote(std::uint32_t time, std::uint8_t status, std::uint8_t key, std::uint8_t velocity,
                   std::uint32_t gateMs) {
        ByteVector data = {key};
        if (status >= 0x90) {
            data.push_back(velocity);
        }
        WriteNumber(data, gateMs);
        return Add(time, status, std::move(data));
    }
    Event* AddExclusive(std::uint32_t time, const ByteVector& body) {
        ByteVector data;
        WriteNumber(data, static_cast<std::uint32_t>(body.size()));
        data.insert(data.end(), body.begin(), body.end());
        return Add(time, 0xF0, std::move(data));
    }

    // Starts through the controller at the position (ms from the start offset) and forgets what the
    // start sent.
    void Start(std::uint32_t positionMs = 0) {
        playback.SetPosition(document->StartOffset() + positionMs);
        ASSERT_TRUE(playback.Start(PlayState::MidiPlay, *document));
        startMs = nowMs;
        fake.calls.clear();
    }

    // Runs one tick the given ms after the start and returns the messages it sent.
    std::vector<ByteVector> TickAt(std::uint32_t elapsedMs) {
        fake.calls.clear();
        nowMs = startMs + elapsedMs;
        EXPECT_EQ(engine->midi().EmuMIDIProc(), 1);
        return fake.MidiMessages();
    }

    std::unique_ptr<Smaf> document = CreateSmaf(4, 4);
    std::uint32_t startMs = 0;
};

TEST_F(MidiPlayTest, RefusesDocumentsItCannotPlay) {
    EXPECT_EQ(engine->midi().EmuMIDIPlay(nullptr, 0), 0);
    EXPECT_EQ(engine->midi().EmuMIDIPlay(document.get(), 0), 0);
    AddNote(0, 0x90, 60, 100, 10);
    document->start = nullptr;
    EXPECT_EQ(engine->midi().EmuMIDIPlay(document.get(), 0), 0);
    EXPECT_THAT(recorder.Texts(),
                ElementsAre("EmuMIDIPlay: smaf == NULL, it is probably a program bug!",
                            "EmuMIDIPlay: No events. Please put one or more notes onto pianoroll.",
                            "EmuMIDIPlay: smaf->events != NULL but smaf->start == NULL, it is "
                            "probably a program bug!"));
    EXPECT_THAT(fake.calls, IsEmpty());

    document->start = document->events.get();
    fake.results["SetMidiMsg"] = 1;
    recorder.messages.clear();
    EXPECT_EQ(engine->midi().EmuMIDIPlay(document.get(), 0), 0);
    EXPECT_THAT(recorder.Texts(), ElementsAre("SetMidiMsg ini failed"));
}

TEST_F(MidiPlayTest, CatchUpSendsChannelStateSilentlyBetweenResetAndVolume) {
    AddNote(0, 0x92, 60, 100, 5000);                 // sounding at the position: stays silent
    Add(10, 0xB2, {0x07, 90});                       // control change
    Add(20, 0xC2, {5});                              // program change
    Add(30, 0xE2, {0x00, 0x50});                     // pitch bend
    AddExclusive(40, kHandyPhoneVoice);              // sent, with nothing to erase
    AddExclusive(60, ExclusiveBody(10));             // skipped
    Add(70, 0xA2, {1, 2, 3});                        // sends nothing
    Event* atPosition = Add(100, 0xB2, {0x0A, 64});  // exactly at the position: first tick
    playback.SetPosition(100);
    ASSERT_TRUE(playback.Start(PlayState::MidiPlay, *document));

    ByteVector exclusive18 = {0xF0};
    exclusive18.insert(exclusive18.end(), kHandyPhoneVoice.begin(), kHandyPhoneVoice.end());
    EXPECT_THAT(fake.MidiMessages(),
                ElementsAre(kReset, ByteVector{0xB2, 0x07, 90}, ByteVector{0xC2, 5},
                            ByteVector{0xE2, 0x00, 0x50}, exclusive18, kVolume127));
    EXPECT_EQ(engine->midi().MidiPlayer().nextEvent, atPosition);
    EXPECT_THAT(engine->midi().MidiPlayer().soundingNotes, IsEmpty());
    EXPECT_EQ(playback.PlayerPosition(), 100) << "MidiPlay's time starts at the position";

    EXPECT_THAT(TickAt(1), ElementsAre(ByteVector{0xB2, 0x0A, 64}));
    EXPECT_EQ(engine->midi().MidiPlayer().nextEvent, nullptr);
    EXPECT_EQ(playback.PlayerStatus(), kPlayerReady);
}

TEST_F(MidiPlayTest, SongsStreamWavesGoToTheEngineAfterTheReset) {
    const ByteVector wave = {0x20, 0x1F, 0x40, 0x17, 0x71};
    document->fileData = testing::MakeFile(testing::MakeTrack(
        5, 2, 2, 2,
        testing::Concat({testing::MakeChunk("Mtsq", {0x00, 0x00}),
                         testing::MakeChunk("Mtsp", testing::MakeChunk("Mwa\x03", wave))})));
    ReadFileFacts(*document);
    AddNote(0, 0x99, 2, 100, 10);
    ASSERT_EQ(engine->midi().EmuMIDIPlay(document.get(), 0), 1);
    EXPECT_THAT(fake.MidiMessages(),
                ElementsAre(kReset, MakeStreamWaveMessage({3, wave}), kVolume127));
}

TEST_F(MidiPlayTest, NotesSoundWithTheChannelVelocityAndEndAfterTheirGate) {
    AddNote(0, 0x81, 50, 0, 20);  // 0x8n is a note: velocity 64 until a 0x9n sets one
    AddNote(0, 0x91, 60, 100, 50);
    AddNote(30, 0x81, 62, 0, 10);  // takes the 100 of the note before
    Start();
    EXPECT_THAT(TickAt(0), IsEmpty()) << "nothing is due before its time has passed";
    EXPECT_THAT(TickAt(1), ElementsAre(NoteOn(1, 50, 64), NoteOn(1, 60, 100)));
    EXPECT_EQ(playback.PlayerStatus(), kPlayerPlaying);
    EXPECT_THAT(TickAt(20), IsEmpty());
    EXPECT_THAT(TickAt(21), ElementsAre(NoteOff(1, 50)));
    EXPECT_THAT(TickAt(31), ElementsAre(NoteOn(1, 62, 100)));
    EXPECT_EQ(playback.PlayerStatus(), kPlayerReady);
    EXPECT_THAT(TickAt(51), ElementsAre(NoteOff(1, 60), NoteOff(1, 62)));
    EXPECT_THAT(engine->midi().MidiPlayer().soundingNotes, IsEmpty());
}

TEST_F(MidiPlayTest, NoteOffsGoOutBeforeTheNoteOnsOfTheSameTick) {
    AddNote(0, 0x90, 60, 90, 10);
    AddNote(10, 0x90, 60, 80, 10);
    Start();
    TickAt(1);
    EXPECT_THAT(TickAt(11), ElementsAre(NoteOff(0, 60), NoteOn(0, 60, 80)));
}

TEST_F(MidiPlayTest, KeyPitchTransposesUnclampedExceptOnTheDrumBank) {
    playback.SetKeyPitch(12);
    AddNote(0, 0x90, 120, 100, 10);
    AddNote(0, 0x99, 36, 100, 10);  // channel index 9 starts on the drum bank
    Add(1, 0xB3, {0x00, 125});      // bank select MSB 125 on channel 3
    Add(1, 0xB9, {0x00, 124});      // and back to melody on channel 9
    AddNote(2, 0x93, 40, 100, 10);
    AddNote(2, 0x99, 36, 100, 10);
    Start();
    EXPECT_THAT(TickAt(1), ElementsAre(NoteOn(0, 0x84, 100), NoteOn(9, 36, 100)));
    playback.SetKeyPitch(-1);
    EXPECT_THAT(TickAt(3), ElementsAre(ByteVector{0xB3, 0x00, 125}, ByteVector{0xB9, 0x00, 124},
                                       NoteOn(3, 40, 100), NoteOn(9, 35, 100)));
    EXPECT_THAT(TickAt(20),
                ElementsAre(NoteOff(0, 0x84), NoteOff(9, 36), NoteOff(3, 40), NoteOff(9, 35)))
        << "note-offs use the note as it was sent";
}

// A file image of one score track of the given format; the events the tests play are added to the
// list by hand.
ByteVector ScoreTrackImage(std::uint8_t format) {
    using namespace rolvik::testing;
    return MakeFile(MakeTrack(1, format, 0x02, 0x02, MakeChunk("Mtsq", {0x00, 0x00, 0x00, 0x00})));
}

TEST_F(MidiPlayTest, HandyPhoneSongsStartChannelNineAsMelody) {
    const ByteVector resetBody = {0x43, 0x79, 0x06, 0x7F, 0x7F, 0xF7};
    Add(0, 0xC9, {5});
    AddExclusive(20, resetBody);
    document->fileData = ScoreTrackImage(2);
    ReadFileFacts(*document);
    ASSERT_EQ(engine->midi().EmuMIDIPlay(document.get(), 10), 1);
    EXPECT_THAT(fake.MidiMessages(), ElementsAre(kReset, ByteVector{0xC9, 5}, kVolume127));
    EXPECT_EQ(engine->midi().MidiPlayer().channelBank[kDrumChannel], 125);

    engine->midi().EmuMIDIStop();
    document->fileData = ScoreTrackImage(0);
    ReadFileFacts(*document);
    fake.calls.clear();
    ASSERT_EQ(engine->midi().EmuMIDIPlay(document.get(), 10), 1);
    EXPECT_THAT(fake.MidiMessages(),
                ElementsAre(kReset, kChannelNineMelody, ByteVector{0xC9, 5}, kVolume127));
    EXPECT_EQ(engine->midi().MidiPlayer().channelBank[kDrumChannel], 124);
    // A reset in the song starts the engine's channel index 9 as drums again.
    EXPECT_THAT(TickAt(21), ElementsAre(kReset, kVolume127, kChannelNineMelody));

    engine->midi().EmuMIDIStop();
    fake.answer = [](const fake::EngineCall& call) -> std::optional<std::int32_t> {
        return call.bytes == kChannelNineMelody ? std::optional(1) : std::nullopt;
    };
    EXPECT_EQ(engine->midi().EmuMIDIPlay(document.get(), 10), 0);
    EXPECT_THAT(recorder.Texts(), ElementsAre("SetMidiMsg ini failed"));
}

// Only the melody and drum banks change a channel's kind, as in the engine, so that key pitch
// transposes exactly the notes the engine plays as melody.
TEST_F(MidiPlayTest, KeyPitchFollowsTheChannelKindAcrossOtherBanks) {
    playback.SetKeyPitch(2);
    Add(0, 0xB9, {0x00, 0});    // a General MIDI drum channel on bank 0: still drums
    Add(0, 0xB3, {0x00, 125});  // channel 3 to drums,
    Add(0, 0xB3, {0x00, 4});    // and a voice bank keeps it there
    AddNote(0, 0x99, 36, 100, 10);
    AddNote(0, 0x93, 38, 100, 10);
    Start();
    EXPECT_THAT(TickAt(1),
                ElementsAre(ByteVector{0xB9, 0x00, 0}, ByteVector{0xB3, 0x00, 125},
                            ByteVector{0xB3, 0x00, 4}, NoteOn(9, 36, 100), NoteOn(3, 38, 100)));

    engine->midi().EmuMIDIStop();
    document->fileData = ScoreTrackImage(0);
    ReadFileFacts(*document);
    Start();
    EXPECT_THAT(TickAt(1),
                ElementsAre(ByteVector{0xB9, 0x20, 0}, ByteVector{0xB3, 0x20, 125},
                            ByteVector{0xB3, 0x20, 4}, NoteOn(9, 38, 100), NoteOn(3, 40, 100)))
        << "a HandyPhone song's banks are LSBs of the melody bank: its melodies are transposed";
}

// MidiPlay of a real HandyPhone song, its messages played into the engine's synthesiser: the
// melody of its third track's second channel sounds on a melody channel.
TEST_F(MidiPlayTest, HandyPhoneMelodyOnChannelNineSoundsAsMelodyInTheEngine) {
    ROLVIK_REQUIRE_CORPUS();
    document = OpenSmaf(ROLVIK_CORPUS_DIR "/libsmaf__HappyPoppy.mmf");
    ASSERT_NE(document, nullptr);
    engine->midi().SetTrackFilter(kDrumChannel);
    ASSERT_EQ(engine->midi().EmuMIDIPlay(document.get(), 0), 1);
    constexpr std::uint32_t kFirstNoteMs = 2088;
    constexpr std::uint8_t kFirstKey = 0x52;
    nowMs += kFirstNoteMs + 1;
    ASSERT_EQ(engine->midi().EmuMIDIProc(), 1);

    synth::Synthesizer synthesizer;
    for (const ByteVector& message : fake.MidiMessages()) {
        const auto parsed = synth::ParseMidiMessage(message);
        ASSERT_TRUE(parsed.has_value()) << ::testing::PrintToString(message);
        synthesizer.Apply(*parsed);
    }
    EXPECT_EQ(synthesizer.channel(kDrumChannel).bankMsb, kMelodyBank);
    EXPECT_EQ(synthesizer.channel(kDrumChannel).bankLsb, 4);
    EXPECT_FALSE(synthesizer.channel(kDrumChannel).isDrum());
    EXPECT_TRUE(synthesizer.IsSounding(kDrumChannel, kFirstKey));
}

TEST_F(MidiPlayTest, TrackFilterSilencesOtherChannelsNotesOnly) {
    engine->midi().SetTrackFilter(2);
    AddNote(0, 0x95, 60, 33, 10);
    Add(0, 0xB5, {0x07, 100});
    AddNote(0, 0x92, 61, 100, 10);
    AddNote(5, 0x85, 62, 0, 10);
    Start();
    EXPECT_THAT(TickAt(1), ElementsAre(ByteVector{0xB5, 0x07, 100}, NoteOn(2, 61, 100)));
    ASSERT_EQ(engine->midi().MidiPlayer().soundingNotes.size(), 1u);
    EXPECT_EQ(engine->midi().MidiPlayer().soundingNotes.front().channel, 2);
    engine->midi().SetTrackFilter(kAllTracks);
    EXPECT_THAT(TickAt(6), ElementsAre(NoteOn(5, 62, 33)))
        << "the filtered note still set its channel's velocity";
}

TEST_F(MidiPlayTest, ExclusivesOfTheSentLengthsWithEraseAndVolume) {
    const ByteVector body30 = ExclusiveBody(30);
    const ByteVector body47 = ExclusiveBody(47);
    const ByteVector body300 = ExclusiveBody(300);
    const ByteVector resetBody = {0x43, 0x79, 0x06, 0x7F, 0x7F, 0xF7};
    AddExclusive(0, body30);
    AddExclusive(0, body47);
    AddExclusive(0, body300);
    AddExclusive(0, resetBody);
    // Voice definitions of the lengths songs use go with an erase: an MA-5 sampled voice (kind 01
    // after the note), an MA-5 FM voice (kind 00) and an MA-3 two-operator FM voice; the song's
    // own sound goes whatever its length, as a short wave record.
    ByteVector sampledVoice = ExclusiveBody(27);
    sampledVoice[9] = 0x01;
    ByteVector fmVoice = ExclusiveBody(42);
    fmVoice[9] = 0x00;
    ByteVector waveRecord = ExclusiveBody(25);
    waveRecord[4] = 0x03;
    ByteVector olderFmVoice = ExclusiveBody(31);
    olderFmVoice[2] = 0x06;
    olderFmVoice[9] = 0x00;
    for (const ByteVector& body : {sampledVoice, fmVoice, waveRecord, olderFmVoice}) {
        AddExclusive(0, body);
    }
    ByteVector cutShort;
    WriteNumber(cutShort, 18);
    cutShort.insert(cutShort.end(), {0x43, 0x79, 0xF7});
    Add(0, 0xF0, cutShort);
    Start();

    const ByteVector erase = {0xF0, 0x43, 0x79, 0x06, 0x7F, 0x02, 124, 3, 7, 60, 0xF7};
    auto whole = [](const ByteVector& body) {
        ByteVector message = {0xF0};
        message.insert(message.end(), body.begin(), body.end());
        return message;
    };
    EXPECT_THAT(TickAt(1),
                ElementsAre(erase, whole(body30), erase, whole(body47), whole(body300), kReset,
                            kVolume127, erase, whole(sampledVoice), erase, whole(fmVoice),
                            whole(waveRecord), erase, whole(olderFmVoice)));
}

TEST_F(MidiPlayTest, StopSilencesSoundingNotesAndLetsGoOfTheEventList) {
    AddNote(0, 0x90, 60, 100, 1000);
    AddNote(0, 0x91, 64, 100, 1000);
    AddNote(500, 0x90, 67, 100, 10);
    Start();
    TickAt(1);
    fake.calls.clear();
    EXPECT_EQ(playback.Stop(), PlayState::MidiPlay);
    EXPECT_THAT(fake.MidiMessages(), ElementsAre(NoteOff(0, 60), NoteOff(1, 64)));

    // A reload frees the list; a stopped MidiPlay holds nothing that points into it.
    FreeEvents(*document);
    EXPECT_EQ(engine->midi().MidiPlayer().nextEvent, nullptr);
    EXPECT_THAT(TickAt(600), IsEmpty());
    EXPECT_EQ(playback.PlayerStatus(), -1);
    EXPECT_EQ(playback.PlayerPosition(), -1);
    EXPECT_EQ(playback.PlayerSeek(0), 0);
}

TEST_F(MidiPlayTest, RemovingTheNextEventMovesPlayOnToTheOneBehindIt) {
    AddNote(0, 0x90, 60, 100, 10);
    Event* removed = AddNote(10, 0x90, 62, 100, 10);
    AddNote(20, 0x90, 64, 100, 10);
    Start();
    TickAt(1);
    ASSERT_EQ(engine->midi().MidiPlayer().nextEvent, removed);
    engine->midi().EmuMIDIEventRemoving(*removed);
    RemoveEvent(*document, removed).reset();
    EXPECT_THAT(TickAt(21), ElementsAre(NoteOff(0, 60), NoteOn(0, 64, 100)));
}

TEST_F(MidiPlayTest, SeekTurnsNotesOffAndReplaysFromTheHead) {
    AddNote(0, 0x90, 60, 100, 5000);
    Add(100, 0xC0, {9});
    AddNote(300, 0x90, 62, 100, 10);
    Start();
    TickAt(1);
    fake.calls.clear();
    ASSERT_EQ(playback.PlayerSeek(200), 1);
    EXPECT_THAT(fake.MidiMessages(),
                ElementsAre(NoteOff(0, 60), kReset, ByteVector{0xC0, 9}, kVolume127));
    EXPECT_EQ(playback.state(), PlayState::MidiPlay);
    EXPECT_EQ(playback.PlayerPosition(), 200);
}

TEST_F(MidiPlayTest, PositionsAreAbsoluteAndStartBeyondTheEndIsReady) {
    AddNote(200, 0x90, 60, 100, 10);
    document->start = AddNote(500, 0x90, 62, 100, 10);  // start offset 200
    ASSERT_EQ(document->StartOffset(), 200u);
    Start(50);
    EXPECT_EQ(playback.PlayerPosition(), 250);
    EXPECT_THAT(TickAt(250), IsEmpty());
    EXPECT_THAT(TickAt(251), ElementsAre(NoteOn(0, 62, 100)));
    EXPECT_EQ(playback.PlayerPosition(), 501);

    playback.Stop();
    Start(1000);
    EXPECT_EQ(engine->midi().MidiPlayer().nextEvent, nullptr);
    EXPECT_EQ(playback.PlayerStatus(), kPlayerReady);
}

// With repeat on, the stop point leads straight back to the start point: the clock goes back by the
// loop's length, a note that rings across the seam ends at its own time, and the channels get the
// settings of the events before the start point again.
TEST_F(MidiPlayTest, RepeatGoesBackToTheStartPointWithoutAGap) {
    Add(0, 0xC0, {9});
    Add(200, 0xB0, {0x07, 100});
    document->start = AddNote(200, 0x90, 60, 100, 10);
    AddNote(300, 0x90, 62, 100, 150);
    Add(350, 0xB0, {0x07, 30});
    document->stop = Add(400, 0xFF, {0x00});
    AddNote(450, 0x90, 64, 100, 10);  // beyond the stop point
    playback.SetRepeat(true);
    Start();
    EXPECT_THAT(TickAt(1), ElementsAre(ByteVector{0xB0, 0x07, 100}, NoteOn(0, 60, 100)));
    EXPECT_THAT(TickAt(101), ElementsAre(NoteOff(0, 60), NoteOn(0, 62, 100)));
    EXPECT_THAT(TickAt(151), ElementsAre(ByteVector{0xB0, 0x07, 30}));
    EXPECT_THAT(TickAt(201),
                ElementsAre(ByteVector{0xC0, 9}, ByteVector{0xB0, 0x07, 100}, NoteOn(0, 60, 100)));
    EXPECT_EQ(playback.PlayerPosition(), 201);
    EXPECT_EQ(playback.PlayerStatus(), kPlayerPlaying);
    EXPECT_THAT(TickAt(251), ElementsAre(NoteOff(0, 62), NoteOff(0, 60)));
}

TEST_F(MidiPlayTest, TimesCompareAcrossTheWrapOfTheTickCount) {
    nowMs = 0xFFFFFFF0u;
    AddNote(0, 0x90, 60, 100, 30);
    AddNote(20, 0x90, 62, 100, 10);
    Start();
    EXPECT_THAT(TickAt(21), ElementsAre(NoteOn(0, 60, 100), NoteOn(0, 62, 100)));
    EXPECT_LT(nowMs, 0x100u);
    EXPECT_THAT(TickAt(31), ElementsAre(NoteOff(0, 60), NoteOff(0, 62)));
}

TEST_F(MidiPlayTest, FailedSendsAreReportedAndTriedAgainOnTheNextTick) {
    AddNote(0, 0x90, 60, 100, 10);
    AddNote(0, 0x90, 62, 100, 10);
    Start();
    fake.answer = [](const fake::EngineCall& call) -> std::optional<std::int32_t> {
        return call.bytes == NoteOn(0, 62, 100) ? std::optional(1) : std::nullopt;
    };
    nowMs = startMs + 1;
    EXPECT_EQ(engine->midi().EmuMIDIProc(), 0);
    EXPECT_THAT(recorder.Texts(), ElementsAre("EmuMIDI: DoEvent NoteON Failed",
                                              "EmuMIDI: EmuMIDIEvent DoEvent Failed"));
    EXPECT_EQ(engine->midi().MidiPlayer().nextEvent, document->events->next.get());
    fake.answer = nullptr;
    EXPECT_THAT(TickAt(2), ElementsAre(NoteOn(0, 62, 100)));

    recorder.messages.clear();
    fake.results["SetMidiMsg"] = 1;
    nowMs = startMs + 20;
    EXPECT_EQ(engine->midi().EmuMIDIProc(), 0);
    EXPECT_THAT(recorder.Texts(), ElementsAre("EmuMIDI: EmuMIDIProc NoteOFF Failed"));
    EXPECT_EQ(engine->midi().MidiPlayer().soundingNotes.size(), 2u);

    recorder.messages.clear();
    fake.answer = [](const fake::EngineCall& call) -> std::optional<std::int32_t> {
        return call.bytes == NoteOff(0, 62) ? std::optional(1) : std::nullopt;
    };
    fake.results.clear();
    EXPECT_EQ(engine->midi().EmuDeleteAllNoteoff(), 0);
    EXPECT_THAT(recorder.Texts(), ElementsAre("EmuMIDI: EmuDeleteAllNoteoff NoteOFF Failed"));
    ASSERT_EQ(engine->midi().MidiPlayer().soundingNotes.size(), 1u);
    EXPECT_EQ(engine->midi().MidiPlayer().soundingNotes.front().note, 62);
}

TEST_F(MidiPlayTest, CatchUpReportsAFailedEventAndGoesOn) {
    Add(0, 0xB0, {0x07, 1});
    Add(1, 0xC0, {2});
    fake.answer = [](const fake::EngineCall& call) -> std::optional<std::int32_t> {
        return call.bytes == ByteVector{0xB0, 0x07, 1} ? std::optional(1) : std::nullopt;
    };
    ASSERT_EQ(engine->midi().EmuMIDIPlay(document.get(), 10), 1);
    EXPECT_THAT(recorder.Texts(),
                ElementsAre("EmuMIDI: DoEvent CC Failed", "EmuMIDI: EmuMIDIPlay DoEvent Failed"));
    EXPECT_THAT(fake.MidiMessages(),
                ElementsAre(kReset, ByteVector{0xB0, 0x07, 1}, ByteVector{0xC0, 2}, kVolume127));
}

}  // namespace
}  // namespace rolvik
