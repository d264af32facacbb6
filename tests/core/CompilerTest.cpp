#include "core/CheckCode.h"
#include "core/Chunk.h"
#include "core/Compiler.h"
#include "core/Loader.h"
#include "core/Number.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "tests/support/SmafImage.h"

namespace rolvik {
namespace {

void Add(Smaf& smaf, std::uint32_t time, std::uint8_t status, ByteVector data) {
    InsertEvent(smaf, std::make_unique<Event>(time, status, std::move(data)));
}

ByteVector Compile(const Smaf& smaf) {
    auto bytes = CompileSMAF(smaf);
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or(ByteVector{});
}

// The contents of a chunk of the compiled file found by ID, searched inside the score track.
ByteVector TrackChunk(const ByteVector& file, std::string_view id) {
    constexpr std::size_t kTrackHeaderEnd = 49;
    Bytes run = Bytes(file).subspan(kTrackHeaderEnd, file.size() - kTrackHeaderEnd - 2);
    auto chunk = FindChunk(run, id);
    return chunk ? ByteVector(chunk->contents.begin(), chunk->contents.end()) : ByteVector{};
}

TEST(CompileSMAF, EmptyDocumentIsFiftyNineBytes) {
    auto smaf = CreateSmaf(4, 4);
    const ByteVector file = Compile(*smaf);
    ASSERT_EQ(file.size(), 59u);
    const ByteVector head{'M', 'M', 'M',  'D', 0, 0,    0,    51,   'C',  'N',  'T',
                          'I', 0,   0,    0,   5, 0x00, 0x32, 0x00, 0xF8, 0x00, 'M',
                          'T', 'R', 0x05, 0,   0, 0,    28,   0x02, 0x00, 0x02, 0x02};
    EXPECT_TRUE(std::equal(head.begin(), head.end(), file.begin()));
    EXPECT_TRUE(BytesEqual(Bytes(file).subspan(49, 8), std::string_view("Mtsq\0\0\0\0", 8)));
    EXPECT_TRUE(HasValidCheckCode(file));
}

TEST(CompileSMAF, NoteAndEndOfSequenceGiveTheKnownSixtyEightBytes) {
    auto smaf = CreateSmaf(4, 4);
    Add(*smaf, 0, 0x90, {60, 100, 0x83, 0x74});
    Add(*smaf, 500, 0xFF, {0x2F, 0x00});
    ByteVector expected{0x4D, 0x4D, 0x4D, 0x44, 0x00, 0x00, 0x00, 0x3C, 0x43, 0x4E, 0x54,
                        0x49, 0x00, 0x00, 0x00, 0x05, 0x00, 0x32, 0x00, 0xF8, 0x00, 0x4D,
                        0x54, 0x52, 0x05, 0x00, 0x00, 0x00, 0x25, 0x02, 0x00, 0x02, 0x02};
    expected.insert(expected.end(), 16, 0x00);
    for (std::uint8_t b : {0x4D, 0x74, 0x73, 0x71, 0x00, 0x00, 0x00, 0x09, 0x00, 0x90, 0x3C, 0x64,
                           0x7D, 0x7D, 0xFF, 0x2F, 0x00, 0x3F, 0x4E}) {
        expected.push_back(b);
    }
    EXPECT_EQ(Compile(*smaf), expected);
}

TEST(CompileSMAF, LeadingExclusivesAtTimeZeroGoToSetup) {
    auto smaf = CreateSmaf(4, 4);
    Add(*smaf, 0, 0xF0, {0x03, 0x43, 0x01, 0xF7});
    Add(*smaf, 0, 0xC0, {5});
    Add(*smaf, 0, 0xF0, {0x03, 0x43, 0x02, 0xF7});
    const ByteVector file = Compile(*smaf);
    EXPECT_EQ(TrackChunk(file, "Mtsu"), (ByteVector{0xF0, 0x03, 0x43, 0x01, 0xF7}));
    EXPECT_EQ(TrackChunk(file, "Mtsq"),
              (ByteVector{0x00, 0xC0, 5, 0x00, 0xF0, 0x03, 0x43, 0x02, 0xF7}));
}

TEST(CompileSMAF, ResetLikeExclusiveEndsTheSetup) {
    auto smaf = CreateSmaf(4, 4);
    Add(*smaf, 0, 0xF0, {0x07, 0x43, 0x79, 0x06, 0x7F, 0x00, 0x00, 0xF7});
    Add(*smaf, 0, 0xF0, {0x03, 0x43, 0x01, 0xF7});
    const ByteVector file = Compile(*smaf);
    EXPECT_TRUE(TrackChunk(file, "Mtsu").empty());
    EXPECT_EQ(TrackChunk(file, "Mtsq").size(), 2u + 8u + 2u + 4u);
}

TEST(CompileSMAF, GatesRoundDownToTheirTimebase) {
    auto smaf = CreateSmaf(4, 50);
    Add(*smaf, 0, 0x80, {60, 0x8F, 0x50});  // gate 2000 ms
    EXPECT_EQ(TrackChunk(Compile(*smaf), "Mtsq"), (ByteVector{0x00, 0x80, 60, 40}));
}

// Each event lands on the last tick at or before its own time; rounding never adds up along the
// list, so one event off the grid moves by less than a tick and nothing after it moves.
TEST(CompileSMAF, EventsLandOnTheTickAtOrBeforeTheirTime) {
    struct Case {
        const char* what;
        std::uint32_t durationBase;
        std::vector<std::uint32_t> times;
        std::vector<std::uint8_t> durations;
    };
    const std::vector<Case> cases{
        {"3 ms apart at 4 ms", 4, {0, 3, 6}, {0, 0, 1}},
        {"one off-grid insert", 4, {0, 400, 525, 800, 1000}, {0, 100, 31, 69, 50}},
        {"a song on its grid", 5, {0, 10, 10, 35}, {0, 2, 0, 5}},
    };
    for (const Case& row : cases) {
        auto smaf = CreateSmaf(row.durationBase, 4);
        for (const std::uint32_t time : row.times) {
            Add(*smaf, time, 0xB0, {7, 100});
        }
        const ByteVector sequence = TrackChunk(Compile(*smaf), "Mtsq");
        std::vector<std::uint8_t> durations;
        for (std::size_t at = 0; at < sequence.size(); at += 4) {
            durations.push_back(sequence[at]);
        }
        EXPECT_EQ(durations, row.durations) << row.what;
    }
}

TEST(CompileSMAF, LongDurationsUseThreeOrFourBytes) {
    auto smaf = CreateSmaf(1, 1);
    Add(*smaf, 16384, 0xC0, {1});
    Add(*smaf, 16384 + 0x200000, 0xC0, {2});
    const ByteVector sequence = TrackChunk(Compile(*smaf), "Mtsq");
    ByteReader cursor(sequence);
    EXPECT_EQ(ReadNumber(cursor), 16384u);
    cursor.Skip(2);
    EXPECT_EQ(ReadNumber(cursor), 0x200000u);
}

TEST(CompileSMAF, RefusesTimebasesNoTrackCanState) {
    auto noTrack = CreateSmaf(0, 0);
    EXPECT_FALSE(CompileSMAF(*noTrack).has_value());
    auto oddGate = CreateSmaf(4, 3);
    EXPECT_FALSE(CompileSMAF(*oddGate).has_value());
}

TEST(CompileSMAF, GrowsBeyondOneMebibyte) {
    auto smaf = CreateSmaf(1, 1);
    for (std::uint32_t i = 0; i < 20; ++i) {
        ByteVector data;
        WriteNumber(data, 60000);
        data.insert(data.end(), 60000, 0x11);
        Add(*smaf, i + 1, 0xF0, std::move(data));
    }
    const ByteVector file = Compile(*smaf);
    EXPECT_GT(file.size(), 1'048'576u);
    EXPECT_TRUE(HasValidCheckCode(file));
}

// A document loaded from the given file image, holding a setup exclusive and events on the given
// channel; its event list is built by hand, as the loader would have left it.
std::unique_ptr<Smaf> DocumentFrom(ByteVector fileImage, std::uint8_t channel) {
    auto smaf = CreateSmaf(4, 4);
    smaf->fileData = std::move(fileImage);
    ReadFileFacts(*smaf);
    Add(*smaf, 0, 0xF0, {0x03, 0x43, 0x01, 0xF7});
    Add(*smaf, 0, static_cast<std::uint8_t>(0xC0 | channel), {5});
    Add(*smaf, 400, static_cast<std::uint8_t>(0x90 | channel), {60, 100, 0x50});
    return smaf;
}

ByteVector HandyPhoneImage() {
    return testing::MakeFile(
        testing::MakeTrack(1, 0, 0x02, 0x02, testing::MakeChunk("Mtsq", {0x00, 0x00, 0x00})));
}

const ByteVector kPlainSequence{0x00, 0xC9, 5, 0x64, 0x99, 60, 100, 0x14};

TEST(CompileSMAF, HandyPhoneSongsPlayingChannelNineSelectTheMelodyBankThereFirst) {
    auto smaf = DocumentFrom(HandyPhoneImage(), 9);
    const ByteVector first = Compile(*smaf);
    EXPECT_EQ(TrackChunk(first, "Mtsu"), (ByteVector{0xF0, 0x03, 0x43, 0x01, 0xF7}));
    ByteVector expected{0x00, 0xB9, 0x00, 0x7C};
    expected.insert(expected.end(), kPlainSequence.begin(), kPlainSequence.end());
    EXPECT_EQ(TrackChunk(first, "Mtsq"), expected);

    smaf->fileData = first;
    ASSERT_TRUE(LoadSmaf(*smaf));
    const Event* bankSelect = smaf->events->next.get();
    ASSERT_NE(bankSelect, nullptr);
    EXPECT_EQ(bankSelect->time, 0u);
    EXPECT_EQ(bankSelect->status, 0xB9);
    EXPECT_EQ(bankSelect->data, (ByteVector{0x00, 0x7C}));
    EXPECT_EQ(Compile(*smaf), first) << "compiling the compiled song again adds nothing";
}

TEST(CompileSMAF, OtherSongsCompileWithoutTheBankSelect) {
    const ByteVector mobileStandard =
        testing::MakeFile(testing::MakeTrack(5, 2, 0x02, 0x02, testing::MakeChunk("Mtsq", {})));
    EXPECT_EQ(TrackChunk(Compile(*DocumentFrom(mobileStandard, 9)), "Mtsq"), kPlainSequence);
    EXPECT_EQ(TrackChunk(Compile(*DocumentFrom({}, 9)), "Mtsq"), kPlainSequence)
        << "a new document";
    ByteVector otherChannel = kPlainSequence;
    otherChannel[1] = 0xC3;
    otherChannel[4] = 0x93;
    EXPECT_EQ(TrackChunk(Compile(*DocumentFrom(HandyPhoneImage(), 3)), "Mtsq"), otherChannel)
        << "a HandyPhone song with nothing on channel index 9";
}

// What other players read of a compiled HandyPhone song: the voice as an MA-3 definition under
// the melody bank, bank selects there, notes at full velocity, and a note written to the
// registers (A4 at F-number 0x244, block 4, from 100 to 300 ms) as a note with a bend for the rest.
TEST(CompileSMAF, HandyPhoneSongsCompileIntoWhatOtherPlayersRead) {
    auto smaf = CreateSmaf(4, 4);
    smaf->fileData = HandyPhoneImage();
    ReadFileFacts(*smaf);
    Add(*smaf, 0, 0xF0,
        {0x12, 0x43, 0x03, 0x00, 0x81, 0x05, 0x40, 0x01, 0x10, 0x22, 0xF3, 0x50, 0x80, 0x14, 0x72,
         0xF0, 0x00, 0x80, 0xF7});
    Add(*smaf, 0, 0xB2, {0x00, 0x81});
    Add(*smaf, 0, 0x82, {60, 100});
    const std::uint8_t registerWrites[][2] = {{0xB3, 0x44}, {0xC3, 0x32}, {0xC3, 0x12}};
    const std::uint32_t times[] = {100, 100, 300};
    for (int i = 0; i < 3; ++i) {
        Add(*smaf, times[i], 0xF0,
            {0x06, 0x43, 0x03, 0x90, registerWrites[i][0], registerWrites[i][1], 0xF7});
    }
    const ByteVector file = Compile(*smaf);

    const ByteVector setup = TrackChunk(file, "Mtsu");
    const ByteVector voiceHead = {0xF0, 0x1F, 0x43, 0x79, 0x06, 0x7F,
                                  0x01, 0x7C, 0x41, 0x05, 0x00, 0x00};
    ASSERT_EQ(setup.size(), 2u + 0x1F);
    EXPECT_TRUE(std::equal(voiceHead.begin(), voiceHead.end(), setup.begin()));
    EXPECT_EQ(TrackChunk(file, "Mtsq"),
              (ByteVector{0x00, 0xB2, 0x00, 0x7C, 0x00, 0xB2, 0x20, 0x41, 0x00, 0x92, 60,
                          0x7F, 0x19, 0x19, 0xE3, 0x7F, 0x3F, 0x00, 0x93, 69,   0x7F, 0x32}));
}

// The compiled track states the channel status of the tracks it replaces; a HandyPhone track's
// four bits a channel become the byte its channel has in a Mobile Standard track.
TEST(CompileSMAF, HandyPhoneChannelStatusMovesToTheChannelsTheTrackPlays) {
    ByteVector first = testing::MakeTrack(1, 0, 0x02, 0x02, testing::MakeChunk("Mtsq", {}));
    first[12] = 0xEA;  // KCS, VS, "No Melody"; KCS, "No Melody"
    first[13] = 0x03;  // nothing; "Rhythm"
    const ByteVector second = testing::MakeTrack(2, 0, 0x02, 0x02, testing::MakeChunk("Mtsq", {}));
    auto smaf = CreateSmaf(4, 4);
    smaf->fileData = testing::MakeFile(testing::Concat({first, second}));
    ByteVector expected{0xA2, 0x82, 0x40, 0x43, 0x40, 0x40, 0x40, 0x40};
    expected.resize(16, 0x00);
    const ByteVector file = Compile(*smaf);
    EXPECT_EQ(ByteVector(file.begin() + 33, file.begin() + 49), expected);
}

TEST(CheckCode, MatchesPublishedGenibusVector) {
    constexpr std::string_view kDigits = "123456789";
    const ByteVector bytes(kDigits.begin(), kDigits.end());
    EXPECT_EQ(SmafCheckCode(bytes), 0xD64E);
}

}  // namespace
}  // namespace rolvik
