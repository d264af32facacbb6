#include "report/DetailReport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/SmafImage.h"

namespace rolvik {
namespace {

using rolvik::testing::Concat;
using rolvik::testing::MakeChunk;
using rolvik::testing::MakeFile;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

std::vector<std::string> Texts(const DetailReport& report) {
    std::vector<std::string> texts;
    for (const ReportLine& line : report.lines) {
        texts.push_back(line.text);
    }
    return texts;
}

ByteVector Text(std::string_view text) {
    return ByteVector(text.begin(), text.end());
}

// A document whose file image is `file` and whose list holds no events.
std::unique_ptr<Smaf> DocumentOf(ByteVector file) {
    auto smaf = CreateSmaf(4, 4);
    smaf->fileData = std::move(file);
    return smaf;
}

// The lines of the report between the first line equal to `first` and the line before `end`.
std::vector<std::string> LinesBetween(const DetailReport& report, const std::string& first,
                                      const std::string& end) {
    const std::vector<std::string> texts = Texts(report);
    auto from = std::find(texts.begin(), texts.end(), first);
    auto to = std::find(from, texts.end(), end);
    return {from, to};
}

ByteVector FiveFieldContentsInfo() {
    return {0x00, 0x32, 0x01, 0x05, 0x03};
}

std::vector<std::string> ContentsInfoLines(const ByteVector& body) {
    auto smaf = DocumentOf(MakeFile(MakeChunk("CNTI", body)));
    return LinesBetween(BuildDetailReport(smaf.get(), 0), "CNTI info",
                        "Internal EventList Info=====");
}

std::vector<std::string> TrackLines(const ByteVector& trackBody) {
    auto smaf = DocumentOf(MakeFile(
        Concat({MakeChunk("CNTI", FiveFieldContentsInfo()), MakeChunk("MTR\x05", trackBody)})));
    return LinesBetween(BuildDetailReport(smaf.get(), 0), "MTR info",
                        "Internal EventList Info=====");
}

const std::vector<std::string> kEventHeading = {
    "Internal EventList Info=====",
    "SYNOPSIS: <Line No.> Duration Status(Data-Length): data... (> meaning: only "
    "CC/PC/Note/NOP/EOS.)",
    "-----"};

TEST(DetailReportTest, MissingDocumentOrBytesStopEarly) {
    const DetailReport none = BuildDetailReport(nullptr, 0);
    EXPECT_FALSE(none.hasDocument);
    EXPECT_THAT(Texts(none), ElementsAre("SMAF not opened."));

    auto fresh = CreateSmaf(4, 4);
    InsertEvent(*fresh, std::make_unique<Event>(0, 0x90, ByteVector{0x3C, 0x40, 0x10}));
    const DetailReport uncompiled = BuildDetailReport(fresh.get(), 0);
    EXPECT_TRUE(uncompiled.hasDocument);
    EXPECT_THAT(Texts(uncompiled), ElementsAre("SMAF data is empty.", "Please compile."));
    EXPECT_FALSE(uncompiled.markerLine);

    auto notSmaf = DocumentOf(MakeChunk("RIFF", Text("abcd")));
    InsertEvent(*notSmaf, std::make_unique<Event>(0, 0x90, ByteVector{0x3C, 0x40, 0x10}));
    EXPECT_THAT(Texts(BuildDetailReport(notSmaf.get(), 0)),
                ElementsAre("SMAF (compiled) data Info=====", "MMMD NOT FOUND"));

    auto noContentsInfo = DocumentOf(MakeFile(MakeChunk("OPDA", {})));
    EXPECT_THAT(Texts(BuildDetailReport(noContentsInfo.get(), 0)),
                ElementsAre("SMAF (compiled) data Info=====", "CNTI NOT FOUND"));
}

// The check code is not a chunk: a "CNTI" header that only fits when its last two bytes are
// counted is not found.
TEST(DetailReportTest, CheckCodeIsOutsideTheSearchedArea) {
    ByteVector file = MakeChunk("MMMD", Text("CNTI\0\0\0\0"));
    file.back() = 0x05;
    auto smaf = DocumentOf(file);
    EXPECT_THAT(Texts(BuildDetailReport(smaf.get(), 0)),
                ElementsAre("SMAF (compiled) data Info=====", "CNTI NOT FOUND"));
}

// A file cut short loses its check code first: the chunks before it are all still reported.
TEST(DetailReportTest, FileWithoutItsCheckCodeShowsEveryChunk) {
    ByteVector file = MakeFile(
        Concat({MakeChunk("CNTI", FiveFieldContentsInfo()), MakeChunk("MTR\x05", {0x02})}));
    file.resize(file.size() - 2);
    auto smaf = DocumentOf(file);
    EXPECT_THAT(Texts(BuildDetailReport(smaf.get(), 0)),
                ::testing::IsSupersetOf({"MTR info",
                                         "Format Type: Mobile Standard(No Compress) "
                                         "(MA-3,5)"}));
}

TEST(DetailReportTest, WholeReportOfASmallSong) {
    const ByteVector dch =
        Concat({Text("ST"), {0x00, 0x04}, Text("Song"), Text("ES"), {0x00, 0x01}, Text("x")});
    const ByteVector track = Concat({{0x02, 0x00, 0x02, 0x02, 0x81, 0x00, 0x00, 0x00, 0x00, 0xB3},
                                     ByteVector(10, 0x00),
                                     MakeChunk("Mtsu", {}),
                                     MakeChunk("Mtsq", {0x00, 0x00, 0x00})});
    auto smaf = DocumentOf(MakeFile(
        Concat({MakeChunk("CNTI", Concat({{0x00, 0x32, 0x00, 0x06, 0x00}, Text("ST:A\\,B,AN:C")})),
                MakeChunk("OPDA", MakeChunk("Dch\x01", dch)), MakeChunk("MTR\x05", track)})));
    InsertEvent(*smaf, std::make_unique<Event>(0, 0xB0, ByteVector{0x07, 0x64}));
    InsertEvent(*smaf, std::make_unique<Event>(0, 0x90, ByteVector{0x3C, 0x64, 0x0A}));
    InsertEvent(*smaf, std::make_unique<Event>(480, 0xFF, ByteVector{0x2F, 0x00}));

    std::vector<std::string> expected = {
        "SMAF (compiled) data Info=====",
        "CNTI info",
        "Contents class: YAMAHA",
        "Contents type: Ringtone 32",
        "Contents code: Shift-JIS",
        "CopyStatus: Edit NG",
        "CopyStatus: Save NG",
        "CopyStatus: Trans OK",
        "Copy Count: 0",
        "Optional data followed.",
        "Title: A,B",
        "Artist: C",
        "OPDA found.",
        "Dch found.",
        "Title: Song",
        "EditState: 78",
        "MTR info",
        "Format Type: Mobile Standard(No Compress) (MA-3,5)",
        "Sequence Type: Stream sequence",
        "TimeBase(Duration): 4 msec",
        "TimeBase(GateTime): 4 msec",
        "Analysing MA-3,5 deep...",
        "Channel 0: KCS=ON Melody ",
    };
    for (int channel = 1; channel < 16; ++channel) {
        expected.push_back("Channel " + std::to_string(channel) +
                           ": KCS=" + (channel == 5 ? "ON Vib LED Rhythm " : "None Nocare "));
    }
    expected.insert(expected.end(), {"Mtsu Setup found.", "Mtsq Sequence found."});
    expected.insert(expected.end(), kEventHeading.begin(), kEventHeading.end());
    expected.insert(expected.end(),
                    {"<00000000> 00000000ms B0(  2): 07 64 > ControlChange Volume 0x64(100)",
                     "<00000001> 00000000ms 90(  3): 3C 64 0A > NoteOn C-3",
                     "<00000002> 00000480ms FF(  2): 2F 00 > EOS", "READY"});

    const DetailReport report = BuildDetailReport(smaf.get(), 0);
    EXPECT_TRUE(report.hasDocument);
    EXPECT_THAT(Texts(report), ElementsAreArray(expected));
    for (std::size_t i = 0; i < report.lines.size() - 4; ++i) {
        EXPECT_EQ(report.lines[i].style, ReportStyle::Plain) << report.lines[i].text;
    }
    EXPECT_EQ(report.lines.back().style, ReportStyle::Plain);
}

TEST(DetailReportTest, EmptyEventListGoesStraightToReady) {
    auto smaf = DocumentOf(MakeFile(MakeChunk("CNTI", FiveFieldContentsInfo())));
    const DetailReport report = BuildDetailReport(smaf.get(), 0);
    std::vector<std::string> expected = kEventHeading;
    expected.push_back("READY");
    const std::vector<std::string> texts = Texts(report);
    ASSERT_GE(texts.size(), 4u);
    EXPECT_THAT(std::vector<std::string>(texts.end() - 4, texts.end()), ElementsAreArray(expected));
    EXPECT_FALSE(report.markerLine);
}

TEST(DetailReportTest, ContentsInfoFixedFields) {
    EXPECT_THAT(
        ContentsInfoLines({0x01, 0x42, 0x25, 0xF8, 0xFF}),
        ElementsAre("CNTI info", "Contents class: Not yamaha 01", "Contents type: Karaoke 42",
                    "Contents code: UTF-32", "CopyStatus: Edit OK", "CopyStatus: Save OK",
                    "CopyStatus: Trans OK", "Copy Count: 255"));
    EXPECT_EQ(ContentsInfoLines({0x00, 0x53, 0x07, 0x01, 0x00})[2], "Contents type: CM 53");
    EXPECT_EQ(ContentsInfoLines({0x00, 0x34, 0x07, 0x01, 0x00})[2], "Contents type: RESERVED 34");
    EXPECT_EQ(ContentsInfoLines({0x00, 0x34, 0x07, 0x01, 0x00})[3], "Contents code: RESERVED 07");
}

TEST(DetailReportTest, ContentsTypeRangeBoundaries) {
    const auto typeLine = [](std::uint8_t type) {
        return ContentsInfoLines({0x00, type, 0x00, 0x00, 0x00})[2];
    };
    const std::vector<std::pair<std::uint8_t, std::string>> expected{
        {0x00, "Ringtone 00"}, {0x0F, "Ringtone 0F"}, {0x10, "Karaoke 10"},  {0x1F, "Karaoke 1F"},
        {0x20, "CM 20"},       {0x2F, "CM 2F"},       {0x30, "Ringtone 30"}, {0x33, "Ringtone 33"},
        {0x34, "RESERVED 34"}, {0x3F, "RESERVED 3F"}, {0x40, "Karaoke 40"},  {0x42, "Karaoke 42"},
        {0x43, "RESERVED 43"}, {0x4F, "RESERVED 4F"}, {0x50, "CM 50"},       {0x53, "CM 53"},
        {0x54, "RESERVED 54"}, {0xFF, "RESERVED FF"}};
    for (const auto& [type, text] : expected) {
        EXPECT_EQ(typeLine(type), "Contents type: " + text);
    }
}

// A body too short for its fixed fields shows those it holds, and the report goes on.
TEST(DetailReportTest, ShortContentsInfoShowsWhatItHolds) {
    auto smaf = DocumentOf(
        MakeFile(Concat({MakeChunk("CNTI", {0x00, 0x10, 0x23}), MakeChunk("OPDA", {})})));
    const std::vector<std::string> texts = Texts(BuildDetailReport(smaf.get(), 0));
    EXPECT_THAT(std::vector<std::string>(texts.begin() + 1, texts.begin() + 6),
                ElementsAre("CNTI info", "Contents class: YAMAHA", "Contents type: Karaoke 10",
                            "Contents code: UTF-8", "OPDA found."));
    EXPECT_EQ(texts.back(), "READY");
}

TEST(DetailReportTest, OptionalTextItems) {
    const auto withText = [](std::string_view text) {
        return ContentsInfoLines(Concat({FiveFieldContentsInfo(), Text(text)}));
    };
    EXPECT_THAT(ContentsInfoLines(FiveFieldContentsInfo()),
                ::testing::Not(::testing::Contains("Optional data followed.")));
    EXPECT_THAT(withText("ST:A\\,B,AN:C"),
                ::testing::IsSupersetOf({"Optional data followed.", "Title: A,B", "Artist: C"}));
    // Only the byte right before a comma counts; a doubled backslash still escapes it.
    EXPECT_THAT(withText("ST:a\\\\,b"), ::testing::Contains("Title: a\\,b"));
    EXPECT_THAT(withText("ST:x\\,,AN:y"), ::testing::IsSupersetOf({"Title: x,", "Artist: y"}));
    // No comma before the end: the value runs to the last byte of the body.
    EXPECT_THAT(withText("CR:(c) 2004"), ::testing::Contains("Copyright: (c) 2004"));
    EXPECT_THAT(withText("XY:abc"), ::testing::Contains("XY: abc"));
    EXPECT_THAT(withText("ES:e,VC:v, C:w"),
                ::testing::IsSupersetOf({"ES: e", "VC: v", "Copy by?: w"}));
    // Items cut short by the end of the body show what is inside it.
    EXPECT_THAT(withText("ST:a,A"), ::testing::Contains("A: "));
    EXPECT_THAT(withText("ST"), ::testing::Contains("Title: "));
}

// Like a "Dch" value, a contents-information value ends at a zero byte: the bytes behind it are
// not shown, and the next item is read as usual.
TEST(DetailReportTest, ContentsInfoValuesEndAtAZeroByte) {
    const std::vector<std::string> lines = ContentsInfoLines(
        Concat({FiveFieldContentsInfo(), Text(std::string_view("ST:ab\0cd,AN:\0x,CR:c", 19))}));
    EXPECT_THAT(std::vector<std::string>(lines.end() - 3, lines.end()),
                ElementsAre("Title: ab", "Artist: ", "Copyright: c"));
}

TEST(DetailReportTest, LongValuesAreCutAt255Bytes) {
    const std::string longValue(300, 'v');
    const std::vector<std::string> lines =
        ContentsInfoLines(Concat({FiveFieldContentsInfo(), Text("ST:" + longValue + ",AN:z")}));
    EXPECT_THAT(lines, ::testing::Contains("Title: " + std::string(255, 'v')));
    EXPECT_THAT(lines, ::testing::Contains("Artist: z"));

    const ByteVector dch = Concat({Text("VN"), {0x01, 0x2C}, Text(longValue)});
    auto smaf = DocumentOf(MakeFile(Concat({MakeChunk("CNTI", FiveFieldContentsInfo()),
                                            MakeChunk("OPDA", MakeChunk("Dch\x02", dch))})));
    EXPECT_THAT(Texts(BuildDetailReport(smaf.get(), 0)),
                ::testing::Contains("Vendor: " + std::string(255, 'v')));
}

TEST(DetailReportTest, DchItems) {
    const auto dchLines = [](const ByteVector& dch) {
        auto smaf = DocumentOf(MakeFile(Concat({MakeChunk("CNTI", FiveFieldContentsInfo()),
                                                MakeChunk("OPDA", MakeChunk("Dch\x01", dch))})));
        return LinesBetween(BuildDetailReport(smaf.get(), 0), "Dch found.",
                            "Internal EventList Info=====");
    };
    EXPECT_THAT(dchLines(Concat({Text("VC"),
                                 {0x00, 0x03},
                                 Text(std::string_view("a\0b", 3)),
                                 Text("QQ"),
                                 {0x00, 0x00},
                                 Text("CN"),
                                 {0x00, 0x02},
                                 Text("dc")})),
                ElementsAre("Dch found.", "vCard: a", "QQ: ", "Carrior: dc"));
    // A length running past the body shows the bytes inside it; a cut length shows nothing.
    EXPECT_THAT(dchLines(Concat({Text("AN"), {0x10, 0x00}, Text("abc")})),
                ElementsAre("Dch found.", "Artist: abc"));
    EXPECT_THAT(dchLines(Concat({Text("AN"), {0x00, 0x01}, Text("a"), Text("SW"), {0x00}})),
                ElementsAre("Dch found.", "Artist: a", "Music: "));

    auto noDch = DocumentOf(MakeFile(Concat(
        {MakeChunk("CNTI", FiveFieldContentsInfo()), MakeChunk("OPDA", MakeChunk("Pro1", {}))})));
    const std::vector<std::string> texts = Texts(BuildDetailReport(noDch.get(), 0));
    EXPECT_THAT(texts, ::testing::Contains("OPDA found."));
    EXPECT_THAT(texts, ::testing::Not(::testing::Contains("Dch found.")));
}

// In a code of two- or four-byte units the tags stay two ASCII bytes and a value ends at its first
// zero unit; the edit state is a status byte and shows as hex.
TEST(DetailReportTest, TextInWideCodesAndTheEditState) {
    const std::string_view utf16Value(
        "\xFF\xFE"
        "A\0B\0\0\0C\0",
        10);
    const ByteVector contentsInfo =
        Concat({{0x00, 0x00, 0x24, 0x00, 0x00}, Text("ST:"), Text(utf16Value)});
    EXPECT_THAT(ContentsInfoLines(contentsInfo), ::testing::Contains("Title: AB"));

    const ByteVector dch = Concat({Text("ST"),
                                   {0x00, 0x0A},
                                   Text(utf16Value),
                                   Text("ES"),
                                   {0x00, 0x01, 0xF8},
                                   Text("AN"),
                                   {0x00, 0x06},
                                   Text(std::string_view("\0X\0\0\0Y", 6))});
    auto smaf = DocumentOf(MakeFile(Concat({MakeChunk("CNTI", FiveFieldContentsInfo()),
                                            MakeChunk("OPDA", MakeChunk("Dch\x24", dch))})));
    EXPECT_THAT(LinesBetween(BuildDetailReport(smaf.get(), 0), "Dch found.",
                             "Internal EventList Info====="),
                ElementsAre("Dch found.", "Title: AB", "EditState: F8", "Artist: X"));
}

TEST(DetailReportTest, HandyPhoneTrack) {
    EXPECT_THAT(
        TrackLines({0x00, 0x01, 0x10, 0x13, 0xD1, 0x3E}),
        ElementsAre(
            "MTR info", "Format Type: HandyPhone Standard (MA-1,2)", "Sequence Type: Sub-sequence",
            "TimeBase(Duration): 10 msec", "TimeBase(GateTime): 50 msec", "Analysing MA-2 deep...",
            "Channel 1: KCS=ON VS=ON ChType=Melody", "Channel 2: KCS=OFF VS=OFF ChType=Melody",
            "Channel 3: KCS=OFF VS=OFF ChType=Rhythm", "Channel 4: KCS=ON VS=ON ChType=No Melody"));
    EXPECT_THAT(TrackLines({0x00, 0x00, 0x00, 0x00, 0x20}),
                ElementsAre("MTR info", "Format Type: HandyPhone Standard (MA-1,2)",
                            "Sequence Type: Stream sequence", "TimeBase(Duration): 1 msec",
                            "TimeBase(GateTime): 1 msec", "Analysing MA-2 deep...",
                            "Channel 1: KCS=OFF VS=OFF ChType=No Melody",
                            "Channel 2: KCS=OFF VS=OFF ChType=NO CARE"));
}

TEST(DetailReportTest, OtherTrackFormatsAndReservedCodes) {
    EXPECT_THAT(TrackLines({0x03, 0x02, 0x04, 0x20, 0xFF}),
                ElementsAre("MTR info", "Format Type: MA-7", "Sequence Type: RESERVED 02",
                            "TimeBase(Duration): RESERVED 04", "TimeBase(GateTime): RESERVED 20"));
    EXPECT_THAT(
        TrackLines({0x07, 0x00, 0x01, 0x03}),
        ElementsAre("MTR info", "Format Type: RESERVED 07", "Sequence Type: Stream sequence",
                    "TimeBase(Duration): 2 msec", "TimeBase(GateTime): 5 msec"));
    EXPECT_THAT(TrackLines({0x01, 0x00}),
                ElementsAre("MTR info", "Format Type: Mobile Standard(Compress)",
                            "Sequence Type: Stream sequence"));
    EXPECT_THAT(TrackLines({}), ElementsAre("MTR info"));
}

TEST(DetailReportTest, MobileStandardTrack) {
    ByteVector header = {0x01, 0x00, 0x11, 0x12, 0x00, 0x40, 0xC0, 0xE2};
    header.resize(20, 0x00);
    const std::vector<std::string> bare = TrackLines(header);
    ASSERT_EQ(bare.size(), 6u + 16u);
    EXPECT_EQ(bare[5], "Analysing MA-3,5 deep...");
    EXPECT_EQ(bare[6], "Channel 0: KCS=None Nocare ");
    EXPECT_EQ(bare[7], "Channel 1: KCS=OFF Nocare ");
    EXPECT_EQ(bare[8], "Channel 2: KCS=RESERVED Nocare ");
    EXPECT_EQ(bare[9], "Channel 3: KCS=RESERVED Vib NON Melody ");

    // Sub-chunks are reported in a fixed order, whatever their order in the track, and a matching
    // identifier inside another chunk's contents is not a chunk.
    const ByteVector withChunks = Concat({header, MakeChunk("Mtsp", MakeChunk("Mtsu", {})),
                                          MakeChunk("Mtsq", {}), MakeChunk("MspI", {0x01})});
    const std::vector<std::string> lines = TrackLines(withChunks);
    EXPECT_THAT(std::vector<std::string>(lines.begin() + 22, lines.end()),
                ElementsAre("MspI Info found.", "Mtsq Sequence found.", "Mtsp PCM found."));

    // Fewer than sixteen channel bytes: the channels there are, and no sub-chunk search.
    const std::vector<std::string> shortTrack = TrackLines({0x02, 0x00, 0x02, 0x02, 0x81, 0x82});
    EXPECT_THAT(std::vector<std::string>(shortTrack.begin() + 5, shortTrack.end()),
                ElementsAre("Analysing MA-3,5 deep...", "Channel 0: KCS=ON Melody ",
                            "Channel 1: KCS=ON NON Melody "));
}

// Chunks that state more bytes than the file holds show only what the file holds.
TEST(DetailReportTest, OversizedChunksStayInsideTheFile) {
    ByteVector file = MakeFile(Concat(
        {MakeChunk("CNTI", FiveFieldContentsInfo()),
         MakeChunk("OPDA", Concat({Text("Dch\x01"), {0x00, 0x00, 0x40, 0x00}, Text("ST")}))}));
    file[7] = 0xFF;  // the MMMD size claims far more than there is
    auto smaf = DocumentOf(file);
    const std::vector<std::string> texts = Texts(BuildDetailReport(smaf.get(), 0));
    EXPECT_THAT(texts, ::testing::IsSupersetOf({"Dch found.", "Title: "}));
    EXPECT_EQ(texts.back(), "READY");
}

}  // namespace
}  // namespace rolvik
