#include "export/MidiExport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/ByteReader.h"
#include "core/Chunk.h"
#include "core/Loader.h"
#include "core/Number.h"
#include "core/ShowMessage.h"
#include "export/StandardMidiFile.h"
#include "tests/support/Corpus.h"
#include "tests/support/SmafImage.h"

namespace rolvik {
namespace {

using rolvik::testing::Concat;
using rolvik::testing::MakeChunk;
using rolvik::testing::MakeFile;
using ::testing::ElementsAre;

// One message read back from a track, with its absolute tick.
struct ReadMessage {
    std::uint64_t tick;
    ByteVector bytes;
    bool operator==(const ReadMessage&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ReadMessage& message) {
    out << message.tick << ":";
    for (std::uint8_t byte : message.bytes) {
        out << ' ' << std::hex << int{byte} << std::dec;
    }
    return out;
}

// A small reader for the files the exporter writes: running status is never used, so every
// message starts with its status byte.
struct ReadFile {
    std::uint16_t format = 0;
    std::uint16_t division = 0;
    std::vector<std::vector<ReadMessage>> tracks;
};

std::size_t ChannelMessageSize(std::uint8_t status) {
    const std::uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 2 : 3;
}

std::vector<ReadMessage> ReadTrack(Bytes contents) {
    std::vector<ReadMessage> messages;
    ByteReader cursor(contents);
    std::uint64_t tick = 0;
    while (!cursor.empty()) {
        tick += *ReadNumber(cursor);
        const Bytes rest = cursor.rest();
        std::size_t size = 0;
        if (rest[0] == 0xFF) {
            ByteReader length(rest.subspan(2));
            size = 2 + NumberLength(rest.subspan(2)) + *ReadNumber(length);
        } else if (rest[0] == 0xF0) {
            ByteReader length(rest.subspan(1));
            size = 1 + NumberLength(rest.subspan(1)) + *ReadNumber(length);
        } else {
            size = ChannelMessageSize(rest[0]);
        }
        const Bytes message = *cursor.ReadBytes(size);
        messages.push_back({tick, ByteVector(message.begin(), message.end())});
    }
    return messages;
}

ReadFile ReadMidi(const ByteVector& file) {
    ReadFile read;
    ByteReader cursor(file);
    EXPECT_TRUE(BytesEqual(*cursor.ReadBytes(4), "MThd"));
    EXPECT_EQ(*cursor.ReadU32BigEndian(), 6u);
    read.format = *cursor.ReadU16BigEndian();
    const std::uint16_t trackCount = *cursor.ReadU16BigEndian();
    read.division = *cursor.ReadU16BigEndian();
    for (std::uint16_t i = 0; i < trackCount; ++i) {
        EXPECT_TRUE(BytesEqual(*cursor.ReadBytes(4), "MTrk"));
        const std::uint32_t size = *cursor.ReadU32BigEndian();
        read.tracks.push_back(ReadTrack(*cursor.ReadBytes(size)));
    }
    EXPECT_TRUE(cursor.empty());
    return read;
}

ByteVector NoteWithVelocity(std::uint8_t key, std::uint8_t velocity, std::uint32_t gateMs) {
    ByteVector data{key, velocity};
    WriteNumber(data, gateMs);
    return data;
}

ByteVector Note(std::uint8_t key, std::uint32_t gateMs) {
    ByteVector data{key};
    WriteNumber(data, gateMs);
    return data;
}

ByteVector Exclusive(const ByteVector& body) {
    ByteVector data;
    WriteNumber(data, static_cast<std::uint32_t>(body.size()));
    data.insert(data.end(), body.begin(), body.end());
    return data;
}

const ByteVector kTempo = {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20};
const ByteVector kEndOfTrack = {0xFF, 0x2F, 0x00};

class MidiExportTest : public ::testing::Test {
  protected:
    void Add(std::uint32_t time, std::uint8_t status, ByteVector data) {
        InsertEvent(*smaf, std::make_unique<Event>(time, status, std::move(data)));
    }
    ReadFile Export(bool generalMidi = false) {
        return ReadMidi(ExportMidi(*smaf, {.generalMidi = generalMidi}));
    }
    std::unique_ptr<Smaf> smaf = CreateSmaf(4, 4);
};

TEST_F(MidiExportTest, LayoutAndTiming) {
    Add(0, 0xB1, {0x07, 0x64});
    Add(0, 0xC1, {0x05});
    Add(10, 0x91, NoteWithVelocity(60, 100, 200));
    Add(20, 0xE1, {0x00, 0x48});
    Add(30, 0xA1, {0x01, 0x02, 0x03});  // no MIDI meaning here
    Add(40, 0xD1, {0x01, 0x02});
    Add(50, 0xFF, {0x00});
    Add(500, 0xFF, {0x2F, 0x00});
    const ReadFile file = Export();
    EXPECT_EQ(file.format, 1);
    EXPECT_EQ(file.division, 500);
    ASSERT_EQ(file.tracks.size(), 2u);
    EXPECT_THAT(file.tracks[0], ElementsAre(ReadMessage{0, kTempo}, ReadMessage{500, kEndOfTrack}));
    EXPECT_THAT(file.tracks[1],
                ElementsAre(ReadMessage{0, {0xB1, 0x07, 0x64}}, ReadMessage{0, {0xC1, 0x05}},
                            ReadMessage{10, {0x91, 60, 100}}, ReadMessage{20, {0xE1, 0x00, 0x48}},
                            ReadMessage{210, {0x81, 60, 0}}, ReadMessage{500, kEndOfTrack}));
}

// A note without velocity sounds with the channel's last velocity, 64 until one is seen.
TEST_F(MidiExportTest, NotesWithoutVelocityTakeTheChannelsLast) {
    Add(0, 0x82, Note(60, 10));
    Add(0, 0x93, NoteWithVelocity(50, 90, 10));
    Add(20, 0x92, NoteWithVelocity(62, 30, 10));
    Add(40, 0x82, Note(64, 10));
    const ReadFile file = Export();
    ASSERT_EQ(file.tracks.size(), 3u);
    EXPECT_EQ(file.tracks[1][0], (ReadMessage{0, {0x92, 60, 64}}));
    EXPECT_EQ(file.tracks[1][4], (ReadMessage{40, {0x92, 64, 30}}));
}

TEST_F(MidiExportTest, NoteOffsAtOneTickAreOrderedSoNoNoteIsLost) {
    Add(0, 0x90, NoteWithVelocity(60, 100, 100));
    Add(100, 0x90, NoteWithVelocity(60, 100, 0));
    Add(100, 0x90, NoteWithVelocity(60, 100, 50));
    const ReadFile file = Export();
    EXPECT_THAT(file.tracks[1],
                ElementsAre(ReadMessage{0, {0x90, 60, 100}}, ReadMessage{100, {0x80, 60, 0}},
                            ReadMessage{100, {0x90, 60, 100}}, ReadMessage{100, {0x90, 60, 100}},
                            ReadMessage{100, {0x80, 60, 0}}, ReadMessage{150, {0x80, 60, 0}},
                            ReadMessage{150, kEndOfTrack}));
}

// Without an end-of-sequence event every track ends with the last note.
TEST_F(MidiExportTest, SongEndsAtTheLastEndOfSequenceOrTheLastNote) {
    Add(0, 0x90, NoteWithVelocity(60, 100, 700));
    Add(5, 0xF0, Exclusive({0x7E, 0x7F, 0x09, 0x01, 0xF7}));
    EXPECT_EQ(Export().tracks[0].back(), (ReadMessage{700, kEndOfTrack}));
    Add(300, 0xFF, {0x2F, 0x00});
    Add(900, 0xFF, {0x2F, 0x00});
    const ReadFile file = Export();
    EXPECT_THAT(file.tracks[0],
                ElementsAre(ReadMessage{0, kTempo},
                            ReadMessage{5, {0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}},
                            ReadMessage{900, kEndOfTrack}));
    EXPECT_EQ(file.tracks[1].back(), (ReadMessage{900, kEndOfTrack}));
}

TEST_F(MidiExportTest, TitleComesFromTheContentsInformation) {
    smaf->fileData = MakeFile(MakeChunk(
        "CNTI", Concat({{0x00, 0x00, 0x00, 0x00, 0x00},
                        ByteVector{'S', 'T', ':', 'A', '\\', ',', 'B', ',', 'A', 'N', ':', 'x'}})));
    EXPECT_EQ(Export().tracks[0][0], (ReadMessage{0, {0xFF, 0x03, 0x03, 'A', ',', 'B'}}));

    // The "Dch" text is EUC-KR, by the fourth byte of its ID: the title is written in UTF-8.
    const ByteVector dch = Concat({ByteVector{'S', 'T', 0x00, 0x02, 0xC7, 0xD1}});
    smaf->fileData = MakeFile(Concat({MakeChunk("CNTI", {0x00, 0x00, 0x00, 0x00, 0x00}),
                                      MakeChunk("OPDA", MakeChunk("Dch\x02", dch))}));
    EXPECT_EQ(Export().tracks[0][0], (ReadMessage{0, {0xFF, 0x03, 0x03, 0xED, 0x95, 0x9C}}));
}

// The markers enclose the stretch a phone repeats: from the start point to the stop point, or to
// the last event of a song without one, around whatever else the first track holds at those ticks.
TEST_F(MidiExportTest, LoopMarkersStandAtTheStartAndStopPoints) {
    const ByteVector loopStart = {0xFF, 0x06, 0x09, 'l', 'o', 'o', 'p', 'S', 't', 'a', 'r', 't'};
    const ByteVector loopEnd = {0xFF, 0x06, 0x07, 'l', 'o', 'o', 'p', 'E', 'n', 'd'};
    const ByteVector exclusive = {0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7};
    Add(0, 0x90, NoteWithVelocity(60, 100, 100));
    Add(250, 0xF0, Exclusive({0x7E, 0x7F, 0x09, 0x01, 0xF7}));
    smaf->start =
        InsertEvent(*smaf, std::make_unique<Event>(250, 0x90, NoteWithVelocity(62, 100, 100)));
    Add(900, 0xF0, Exclusive({0x7E, 0x7F, 0x09, 0x01, 0xF7}));
    Add(1000, 0xFF, {0x2F, 0x00});
    const auto markers = [&] {
        return ReadMidi(ExportMidi(*smaf, {.generalMidi = false, .loopMarkers = true})).tracks[0];
    };
    EXPECT_THAT(markers(), ElementsAre(ReadMessage{0, kTempo}, ReadMessage{250, loopStart},
                                       ReadMessage{250, exclusive}, ReadMessage{900, exclusive},
                                       ReadMessage{1000, loopEnd}, ReadMessage{1000, kEndOfTrack}));
    smaf->stop = smaf->start->next.get();
    EXPECT_EQ(markers()[4], (ReadMessage{900, loopEnd}));
    EXPECT_EQ(Export().tracks[0].size(), 4u) << "no markers unless asked for";
}

TEST_F(MidiExportTest, GeneralMidiMovesDrumsAndDropsChipMessages) {
    Add(0, 0xB2, {0x00, 125});   // drums on channel 2
    Add(0, 0xB9, {0x00, 124});   // a melody on channel 9
    Add(0, 0xB9, {0x20, 0x00});  // completes the chip's bank select: dropped too
    Add(5, 0xB9, {0x00, 0x01});
    Add(5, 0xB9, {0x20, 0x02});  // completes a bank select of the player's own: kept
    Add(0, 0xF0, Exclusive({0x43, 0x79, 0x06, 0x7F, 0x01, 0xF7}));
    Add(0, 0xF0, Exclusive({0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}));
    Add(10, 0x92, NoteWithVelocity(36, 100, 10));
    Add(10, 0x99, NoteWithVelocity(72, 100, 10));

    const ReadFile plain = Export(false);
    ASSERT_EQ(plain.tracks.size(), 3u);
    EXPECT_EQ(plain.tracks[0].size(), 4u);
    EXPECT_EQ(plain.tracks[1][0], (ReadMessage{0, {0xB2, 0x00, 125}}));

    const ReadFile gm = Export(true);
    ASSERT_EQ(gm.tracks.size(), 3u);
    EXPECT_THAT(
        gm.tracks[0],
        ElementsAre(ReadMessage{0, kTempo},
                    ReadMessage{0, {0xF0, 0x08, 0x43, 0x10, 0x4C, 0x00, 0x00, 0x7E, 0x00, 0xF7}},
                    ReadMessage{20, kEndOfTrack}));
    EXPECT_THAT(gm.tracks[1],
                ElementsAre(ReadMessage{5, {0xB2, 0x00, 0x01}}, ReadMessage{5, {0xB2, 0x20, 0x02}},
                            ReadMessage{10, {0x92, 72, 100}}, ReadMessage{20, {0x82, 72, 0}},
                            ReadMessage{20, kEndOfTrack}));
    EXPECT_THAT(gm.tracks[2],
                ElementsAre(ReadMessage{10, {0x99, 36, 100}}, ReadMessage{20, {0x89, 36, 0}},
                            ReadMessage{20, kEndOfTrack}));
}

// Channel 9 starts in the drum bank, so drums there stay and other drum channels join them.
TEST_F(MidiExportTest, GeneralMidiKeepsDrumsAlreadyOnChannelNine) {
    Add(0, 0xB4, {0x00, 125});
    Add(10, 0x94, NoteWithVelocity(38, 100, 10));
    Add(10, 0x99, NoteWithVelocity(36, 100, 10));
    const ReadFile gm = Export(true);
    ASSERT_EQ(gm.tracks.size(), 2u);
    EXPECT_EQ(gm.tracks[1].size(), 5u);
    EXPECT_EQ(gm.tracks[1][0], (ReadMessage{10, {0x99, 38, 100}}));
}

// The output channels of the General MIDI export that sound notes, in track order.
std::vector<std::uint8_t> NoteChannels(const ReadFile& file) {
    std::vector<std::uint8_t> channels;
    for (const auto& track : file.tracks) {
        for (const ReadMessage& message : track) {
            if ((message.bytes[0] & 0xF0) == 0x90) {
                channels.push_back(message.bytes[0] & 0x0F);
            }
        }
    }
    return channels;
}

TEST_F(MidiExportTest, GeneralMidiMovesAMelodyOffChannelNine) {
    Add(0, 0xB9, {0x00, 124});
    Add(0, 0xC9, {0x05});
    Add(10, 0x90, NoteWithVelocity(60, 100, 10));
    Add(10, 0x91, NoteWithVelocity(62, 100, 10));
    Add(10, 0x99, NoteWithVelocity(64, 100, 10));
    EXPECT_EQ(NoteChannels(Export(true)), (std::vector<std::uint8_t>{0, 1, 2}));
    EXPECT_EQ(Export(true).tracks[3][0], (ReadMessage{0, {0xC2, 0x05}}));

    // Every other channel taken: the melody has nowhere to go and stays.
    for (std::uint8_t channel = 2; channel < 16; ++channel) {
        if (channel != 9) {
            Add(20, static_cast<std::uint8_t>(0xB0 | channel), {0x07, 0x64});
        }
    }
    EXPECT_EQ(NoteChannels(Export(true)), (std::vector<std::uint8_t>{0, 1, 9}));
}

TEST_F(MidiExportTest, GeneralMidiKeepsChannelNineDrumsWithBankZeroOrNone) {
    Add(10, 0x99, NoteWithVelocity(36, 100, 10));
    EXPECT_EQ(NoteChannels(Export(true)), std::vector<std::uint8_t>{9});
    Add(0, 0xB9, {0x00, 0x00});
    EXPECT_EQ(NoteChannels(Export(true)), std::vector<std::uint8_t>{9});
}

// HandyPhone Standard rhythm channels: marked in the track header (channel 1 here) or selecting a
// bank with bit 7 set (channel 2). Their program is the drum key; the third track's channel 1 is
// channel 9 and a melody.
TEST_F(MidiExportTest, GeneralMidiPlaysHandyPhoneRhythmChannelsAsDrums) {
    const ByteVector rhythmFirstChannel{0x00, 0x00, 0x02, 0x02, 0x30, 0x00};
    const ByteVector noCare{0x00, 0x00, 0x02, 0x02, 0x00, 0x00};
    smaf->fileData = MakeFile(Concat({MakeChunk("MTR\x01", rhythmFirstChannel),
                                      MakeChunk("MTR\x02", noCare), MakeChunk("MTR\x03", noCare)}));
    Add(0, 0xB0, {0x00, 0x02});
    Add(0, 0xC0, {38});
    Add(0, 0xB1, {0x00, 0x80});
    Add(0, 0xC1, {42});
    Add(0, 0xC9, {0x05});
    Add(10, 0x80, Note(60, 10));
    Add(10, 0x81, Note(61, 10));
    Add(10, 0x89, Note(62, 10));
    Add(30, 0xC0, {36});
    Add(30, 0x80, Note(60, 10));

    const ReadFile gm = Export(true);
    ASSERT_EQ(gm.tracks.size(), 3u);
    EXPECT_THAT(gm.tracks[1],
                ElementsAre(ReadMessage{0, {0xC0, 0x05}}, ReadMessage{10, {0x90, 62, 64}},
                            ReadMessage{20, {0x80, 62, 0}}, ReadMessage{40, kEndOfTrack}));
    EXPECT_THAT(gm.tracks[2],
                ElementsAre(ReadMessage{10, {0x99, 38, 64}}, ReadMessage{10, {0x99, 42, 64}},
                            ReadMessage{20, {0x89, 38, 0}}, ReadMessage{20, {0x89, 42, 0}},
                            ReadMessage{30, {0x99, 36, 64}}, ReadMessage{40, {0x89, 36, 0}},
                            ReadMessage{40, kEndOfTrack}));
    // Without --gm every event keeps its channel and key.
    EXPECT_EQ(Export(false).tracks[1][2], (ReadMessage{10, {0x90, 60, 64}}));
}

TEST_F(MidiExportTest, MalformedEventsAreLeftOut) {
    Add(0, 0x90, {0x3C});                           // no velocity
    Add(0, 0x90, NoteWithVelocity(0x80, 100, 10));  // key out of range
    Add(0, 0xB0, {0x07});
    Add(0, 0xC0, {});
    Add(0, 0xB0, {0x07, 0xFF});
    Add(0, 0xF0, {0x85});                               // size cut short
    Add(0, 0xF0, Exclusive({0x43, 0x02, 0xC8, 0xF7}));  // 8-bit data, as in the chip's voice dumps
    Add(0, 0xF0, Exclusive({0x7E, 0x7F, 0x09, 0x01}));  // not closed by F7
    Add(0, 0x12, {});
    const ReadFile file = Export();
    ASSERT_EQ(file.tracks.size(), 1u);
    EXPECT_THAT(file.tracks[0], ElementsAre(ReadMessage{0, kTempo}, ReadMessage{10, kEndOfTrack}));
}

struct SoundedNotes {
    std::vector<std::uint64_t> startTicks;  // sorted
    std::uint64_t lastEndTick = 0;
};

SoundedNotes NotesOfDocument(const Smaf& smaf) {
    SoundedNotes notes;
    for (const Event* event = smaf.events.get(); event; event = event->next.get()) {
        if (IsNoteEvent(*event)) {
            notes.startTicks.push_back(event->time);
            notes.lastEndTick =
                std::max(notes.lastEndTick, std::uint64_t{event->time} + EventGate(*event));
        }
    }
    std::ranges::sort(notes.startTicks);
    return notes;
}

SoundedNotes NotesOfFile(const ReadFile& file) {
    SoundedNotes notes;
    for (const auto& track : file.tracks) {
        for (const ReadMessage& message : track) {
            const std::uint8_t kind = message.bytes[0] & 0xF0;
            if (kind == 0x90) {
                notes.startTicks.push_back(message.tick);
            } else if (kind == 0x80) {
                notes.lastEndTick = std::max(notes.lastEndTick, message.tick);
            }
        }
    }
    std::ranges::sort(notes.startTicks);
    return notes;
}

// Every note of a corpus song, as the core's document holds it, sounds once at its own time (one
// tick a millisecond), and the last note-off falls where the note that ends last ends.
TEST(MidiExportCorpusTest, EveryNoteOfTheDocumentSounds) {
    ROLVIK_REQUIRE_CORPUS();
    ScopedMessageHandler quiet([](std::string_view, std::string_view, MessageIcon) {});
    int songs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ROLVIK_CORPUS_DIR)) {
        const std::string extension = entry.path().extension().string();
        const std::unique_ptr<Smaf> smaf =
            extension == ".mmf" || extension == ".MMF" ? OpenSmaf(entry.path()) : nullptr;
        if (!smaf) {
            continue;
        }
        const SoundedNotes expected = NotesOfDocument(*smaf);
        for (const bool generalMidi : {false, true}) {
            const SoundedNotes exported =
                NotesOfFile(ReadMidi(ExportMidi(*smaf, {.generalMidi = generalMidi})));
            EXPECT_EQ(exported.startTicks, expected.startTicks)
                << entry.path().filename() << (generalMidi ? " --gm" : "");
            EXPECT_EQ(exported.lastEndTick, expected.lastEndTick)
                << entry.path().filename() << (generalMidi ? " --gm" : "");
        }
        ++songs;
    }
    EXPECT_GT(songs, 60);
}

TEST(StandardMidiFileTest, LongGapsAreBridgedByEmptyTextEvents) {
    const std::uint64_t farTick = 0x0FFFFFFFull * 2 + 5;
    const MidiTrack track{{{farTick, 0, {0xC0, 0x01}}}, 0};
    const ByteVector file = WriteStandardMidiFile(std::span(&track, 1), 500);
    const ReadFile read = ReadMidi(file);
    EXPECT_THAT(read.tracks[0],
                ElementsAre(ReadMessage{0x0FFFFFFF, {0xFF, 0x01, 0x00}},
                            ReadMessage{0x0FFFFFFFull * 2, {0xFF, 0x01, 0x00}},
                            ReadMessage{farTick, {0xC0, 0x01}}, ReadMessage{farTick, kEndOfTrack}));
}

}  // namespace
}  // namespace rolvik
