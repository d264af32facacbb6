#include "import/MidiImport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "StandardMidiFileImage.h"
#include "core/Compiler.h"
#include "core/Loader.h"
#include "tests/support/Corpus.h"
#include "tests/support/MessageRecorder.h"

namespace rolvik {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::kEndOfTrack;
using testing::MidiFile;
using testing::MidiTrack;
using testing::SmpteDivision;

struct Row {
    std::uint32_t time;
    std::uint8_t status;
    ByteVector data;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    out << row.time << "ms " << std::hex << int{row.status} << ":";
    for (std::uint8_t byte : row.data) {
        out << ' ' << int{byte};
    }
    return out << std::dec;
}

std::vector<Row> Rows(const Smaf& smaf) {
    std::vector<Row> rows;
    for (const Event* event = smaf.events.get(); event; event = event->next.get()) {
        rows.push_back({event->time, event->status, event->data});
    }
    return rows;
}

// The note events alone: time, status, key, velocity and gate.
std::vector<Row> Notes(const Smaf& smaf) {
    std::vector<Row> notes;
    for (const Row& row : Rows(smaf)) {
        if ((row.status & 0xF0) == 0x90) {
            notes.push_back(row);
        }
    }
    return notes;
}

std::unique_ptr<Smaf> Import(const ByteVector& file) {
    const testing::MessageRecorder recorder;
    std::unique_ptr<Smaf> smaf = ImportMidi(file);
    EXPECT_THAT(recorder.messages, IsEmpty());
    EXPECT_NE(smaf, nullptr);
    return smaf;
}

// 500 ticks a quarter note at the default 120 beats a minute: one tick is one millisecond.
constexpr std::uint16_t kMillisecondTicks = 500;

// Running status goes on past a meta event, as some writers use it.
TEST(ImportMidi, ReadsRunningStatusAndEndsNotesByNoteOffOrVelocityZero) {
    const auto smaf =
        Import(MidiFile(0, 480,
                        {MidiTrack({{0x00, 0x90, 60, 100},
                                    {0x83, 0x60, 62, 90},      // 480 ticks, running status
                                    {0x00, 0xFF, 0x01, 0x00},  // an empty text event
                                    {0x00, 60, 0},             // running status still
                                    {0x83, 0x60, 0x80, 62, 64},
                                    {0x83, 0x60, 0xFF, 0x2F, 0x00}})}));
    EXPECT_THAT(Rows(*smaf),
                ElementsAre(Row{0, 0xB0, {0, 124}}, Row{0, 0xB0, {32, 0}}, Row{0, 0xC0, {0}},
                            Row{0, 0x90, {60, 100, 0x83, 0x74}},
                            Row{500, 0x90, {62, 90, 0x83, 0x74}}, Row{1500, 0xFF, {0x2F, 0x00}}));
    EXPECT_EQ(smaf->durationBase, 1u);
    EXPECT_EQ(smaf->gateBase, 1u);
    EXPECT_TRUE(smaf->fileData.empty());
}

// Format 1: the tempo lives in the first track and rules the others; at one tick the tracks keep
// their order. 96 ticks last 500 ms, then 250 ms from the tempo change on.
TEST(ImportMidi, FollowsTempoChangesAcrossTracksAndWithinNotes) {
    const auto smaf = Import(MidiFile(
        1, 96,
        {MidiTrack({{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20},
                    {0x60, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90},
                    kEndOfTrack}),
         MidiTrack({{0x00, 0xC0, 5}, {0x30, 0x90, 64, 80}, {0x60, 0x80, 64, 0}, kEndOfTrack}),
         MidiTrack({{0x00, 0xC1, 7}, {0x81, 0x40, 0x91, 67, 70}, {0x30, 67, 0}, kEndOfTrack})}));
    EXPECT_THAT(Rows(*smaf),
                ElementsAre(Row{0, 0xB0, {0, 124}}, Row{0, 0xB0, {32, 0}}, Row{0, 0xC0, {5}},
                            Row{0, 0xB1, {0, 124}}, Row{0, 0xB1, {32, 0}}, Row{0, 0xC1, {7}},
                            Row{250, 0x90, {64, 80, 0x82, 0x77}},  // 250 + 125 ms
                            Row{750, 0x91, {67, 70, 0x7D}}, Row{875, 0xFF, {0x2F, 0x00}}));
}

TEST(ImportMidi, PairsOverlappingNotesOfOneKeyFirstInFirstOut) {
    const auto smaf = Import(MidiFile(0, kMillisecondTicks,
                                      {MidiTrack({{0x00, 0x80, 50, 0},  // ends nothing
                                                  {0x00, 0x90, 60, 100},
                                                  {0x64, 0x90, 60, 90},
                                                  {0x64, 0x80, 60, 0},
                                                  {0x00, 0x90, 61, 80},  // never ended
                                                  {0x64, 0x80, 60, 0},
                                                  {0x85, 0x3C, 0xFF, 0x2F, 0x00}})}));
    EXPECT_THAT(Notes(*smaf), ElementsAre(Row{0, 0x90, {60, 100, 0x81, 0x48}},
                                          Row{100, 0x90, {60, 90, 0x81, 0x48}},
                                          Row{200, 0x90, {61, 80, 0x86, 0x20}}));
    EXPECT_EQ(Rows(*smaf).back(), (Row{1000, 0xFF, {0x2F, 0x00}}));
}

TEST(ImportMidi, CountsSmpteFramesInRealTimeWhateverTheTempo) {
    const ByteVector events = MidiTrack({{0x00, 0xFF, 0x51, 0x03, 0x01, 0x00, 0x00},
                                         {0x87, 0x68, 0x90, 60, 100},  // tick 1000
                                         {0x8F, 0x50, 0x80, 60, 0},    // tick 3000
                                         kEndOfTrack});
    // 25 frames of 40 ticks: one tick a millisecond.
    EXPECT_THAT(Notes(*Import(MidiFile(0, SmpteDivision(25, 40), {events}))),
                ElementsAre(Row{1000, 0x90, {60, 100, 0x8F, 0x50}}));
    // 29.97 frames of 100 ticks: 2,997 ticks a second, so 1,000 ticks end at 333.67 ms.
    EXPECT_THAT(Notes(*Import(MidiFile(0, SmpteDivision(29, 100), {events}))),
                ElementsAre(Row{334, 0x90, {60, 100, 0x85, 0x1B}}));
}

// Channel 10 gets the drum bank; a channel that chooses its own bank, or whose first event is a
// program change, gets nothing more; exclusives at the start stay ahead of what is added, so that
// a reset there does not undo the banks.
TEST(ImportMidi, GivesChannelsTheChipBanksUnlessTheFileSelectsThem) {
    const auto smaf = Import(MidiFile(0, kMillisecondTicks,
                                      {MidiTrack({{0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7},
                                                  {0x00, 0xB2, 0x00, 0x00},
                                                  {0x00, 0xC2, 0x10},
                                                  {0x00, 0xC3, 0x11},
                                                  {0x0A, 0x99, 36, 100},
                                                  {0x0A, 0x89, 36, 0},
                                                  {0x00, 0x92, 60, 100},
                                                  {0x0A, 0x82, 60, 0},
                                                  kEndOfTrack})}));
    EXPECT_THAT(
        Rows(*smaf),
        ElementsAre(Row{0, 0xF0, {0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}}, Row{0, 0xB2, {0, 0}},
                    Row{0, 0xC2, {0x10}}, Row{0, 0xB3, {0, 124}}, Row{0, 0xB3, {32, 0}},
                    Row{0, 0xC3, {0x11}}, Row{10, 0xB9, {0, 125}}, Row{10, 0xB9, {32, 0}},
                    Row{10, 0xC9, {0}}, Row{10, 0x99, {36, 100, 10}}, Row{20, 0x92, {60, 100, 10}},
                    Row{30, 0xFF, {0x2F, 0x00}}));
}

// An exclusive sent in pieces is joined; an F7 packet that continues nothing is an escape of raw
// bytes and has no place in the list. Pitch bends and control changes keep their data.
TEST(ImportMidi, CarriesExclusivesPitchBendsAndControlChanges) {
    const auto smaf = Import(MidiFile(0, kMillisecondTicks,
                                      {MidiTrack({{0x00, 0xF0, 0x03, 0x43, 0x79, 0x06},
                                                  {0x05, 0xF7, 0x02, 0x7F, 0xF7},
                                                  {0x00, 0xF7, 0x01, 0xFA},
                                                  {0x00, 0xE4, 0x00, 0x50},
                                                  {0x00, 0xB4, 0x07, 0x64},
                                                  {0x00, 0xA4, 60, 10},  // aftertouch: dropped
                                                  kEndOfTrack})}));
    EXPECT_THAT(Rows(*smaf), ElementsAre(Row{0, 0xF0, {0x05, 0x43, 0x79, 0x06, 0x7F, 0xF7}},
                                         Row{5, 0xB4, {0, 124}}, Row{5, 0xB4, {32, 0}},
                                         Row{5, 0xC4, {0}}, Row{5, 0xE4, {0x00, 0x50}},
                                         Row{5, 0xB4, {0x07, 0x64}}, Row{5, 0xFF, {0x2F, 0x00}}));
}

// Some writers put garbage in the delta time of the end-of-track event; the track then ends with
// its last event rather than the whole file being refused.
TEST(ImportMidi, EndsATrackWhoseEndOfTrackDeltaIsGarbage) {
    const ByteVector garbage{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                             0xFF, 0xDB, 0x14, 0xFF, 0x2F, 0x00};
    const auto smaf =
        Import(MidiFile(0, kMillisecondTicks, {MidiTrack({{0x10, 0x90, 60, 100}, garbage})}));
    EXPECT_THAT(Notes(*smaf), ElementsAre(Row{16, 0x90, {60, 100, 0}}));
    EXPECT_EQ(Rows(*smaf).back(), (Row{16, 0xFF, {0x2F, 0x00}}));
}

// Chunks of other kinds (Yamaha's XF information, for one) do not count as tracks.
TEST(ImportMidi, PassesOverChunksOfOtherKinds) {
    const ByteVector header = MidiFile(0, kMillisecondTicks, {});
    ByteVector file = testing::Concat({header, testing::MakeChunk("XFIH", {1, 2, 3}),
                                       MidiTrack({{0x00, 0x90, 60, 100}, kEndOfTrack})});
    file[11] = 1;  // the header's track count
    EXPECT_THAT(Notes(*Import(file)), ElementsAre(Row{0, 0x90, {60, 100, 0}}));
}

TEST(ImportMidi, CompilesToAFileThatLoadsBackToTheSameList) {
    auto smaf = Import(MidiFile(0, 480,
                                {MidiTrack({{0x00, 0xF0, 0x03, 0x43, 0x10, 0xF7},
                                            {0x00, 0x90, 60, 100},
                                            {0x83, 0x60, 62, 90},
                                            {0x00, 0xE0, 0x00, 0x40},
                                            {0x83, 0x60, 0x80, 60, 0},
                                            {0x00, 0x80, 62, 0},
                                            kEndOfTrack})}));
    const std::vector<Row> imported = Rows(*smaf);
    auto compiled = CompileSMAF(*smaf);
    ASSERT_TRUE(compiled.has_value());
    smaf->fileData = std::move(*compiled);
    ASSERT_TRUE(LoadSmaf(*smaf));
    EXPECT_EQ(Rows(*smaf), imported);
}

TEST(ImportStandardMidiFile, ReadsTheFileAndSaysWhenItCannot) {
    const testing::MessageRecorder recorder;
    EXPECT_EQ(ImportStandardMidiFile("/nonexistent/song.mid"), nullptr);
    EXPECT_THAT(recorder.messages,
                ElementsAre(testing::ShownMessage{"Can't open /nonexistent/song.mid", "Error",
                                                  MessageIcon::Error}));
    ROLVIK_REQUIRE_CORPUS();
    const auto reference = ImportStandardMidiFile(ROLVIK_CORPUS_DIR "/smafconv__04._Propose.mid");
    ASSERT_NE(reference, nullptr);
    EXPECT_EQ(Notes(*reference).size(), 572u);
}

}  // namespace
}  // namespace rolvik
