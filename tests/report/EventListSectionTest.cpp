#include "report/EventListSection.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "report/EventLine.h"

namespace rolvik {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;

Event MakeEvent(std::uint32_t time, std::uint8_t status, ByteVector data) {
    return Event(time, status, std::move(data));
}

std::string Decoded(std::uint8_t status, ByteVector data) {
    return FormatEventLine(0, MakeEvent(0, status, std::move(data)));
}

TEST(EventLineTest, PrefixAndDataBytes) {
    EXPECT_EQ(FormatEventLine(0, MakeEvent(0, 0x90, {0x3C, 0x64, 0x0A})),
              "<00000000> 00000000ms 90(  3): 3C 64 0A > NoteOn C-3");
    EXPECT_EQ(FormatEventLine(12345678, MakeEvent(123456789, 0xC3, {0x05})),
              "<12345678> 123456789ms C3(  1): 05 ");
    // Times of 2^31 ms and more are unsigned, like everywhere else.
    EXPECT_EQ(FormatEventLine(7, MakeEvent(0x80000000u, 0xA0, {0x01, 0x02, 0x03})),
              "<00000007> 2147483648ms A0(  3): 01 02 03 ");
    EXPECT_EQ(FormatEventLine(3, MakeEvent(5, 0x42, {})), "<00000003> 00000005ms 42(  0): ");
}

TEST(EventLineTest, NoteNamesAndOctaves) {
    EXPECT_THAT(Decoded(0x90, {60, 0x40, 0x01}), EndsWith("> NoteOn C-3"));
    EXPECT_THAT(Decoded(0x85, {69, 0x01}), EndsWith("> NoteOn A-3"));
    EXPECT_THAT(Decoded(0x80, {0, 0x01}), EndsWith("> NoteOn C--2"));
    EXPECT_THAT(Decoded(0x9F, {127, 0x40, 0x01}), EndsWith("> NoteOn G-8"));
    EXPECT_THAT(Decoded(0x91, {61, 0x40, 0x01}), EndsWith("> NoteOn C#3"));
    EXPECT_THAT(Decoded(0x80, {0x3C}), EndsWith("3C > NoteOn C-3"));
}

TEST(EventLineTest, ControlChangesAndMetaEvents) {
    EXPECT_THAT(Decoded(0xB0, {7, 100}), EndsWith("07 64 > ControlChange Volume 0x64(100)"));
    EXPECT_THAT(Decoded(0xB2, {0x5B, 0x28}), EndsWith("5B 28 > ControlChange 5B 0x28(40)"));
    EXPECT_THAT(Decoded(0xBF, {64, 0x7F}), EndsWith("> ControlChange Hold 0x7F(127)"));
    EXPECT_THAT(Decoded(0xB0, {5, 0}), EndsWith("> ControlChange Potamento time 0x00(0)"));
    EXPECT_THAT(Decoded(0xB0, {32, 1}), EndsWith("> ControlChange BankSelect LSB 0x01(1)"));
    EXPECT_THAT(Decoded(0xFF, {0x2F, 0x00}), EndsWith("2F 00 > EOS"));
    EXPECT_THAT(Decoded(0xFF, {0x00}), EndsWith("00 > NOP"));
    EXPECT_THAT(Decoded(0xFF, {0x01}), EndsWith("01 "));
}

// A decode needs every byte it reads; a short event shows its prefix and bytes only.
TEST(EventLineTest, ShortEventsHaveNoDecode) {
    EXPECT_EQ(Decoded(0x90, {}), "<00000000> 00000000ms 90(  0): ");
    EXPECT_EQ(Decoded(0xB0, {0x07}), "<00000000> 00000000ms B0(  1): 07 ");
    EXPECT_EQ(Decoded(0xFF, {}), "<00000000> 00000000ms FF(  0): ");
    EXPECT_EQ(Decoded(0xC0, {0x10}), "<00000000> 00000000ms C0(  1): 10 ");
    EXPECT_EQ(Decoded(0xE0, {0x00, 0x40}), "<00000000> 00000000ms E0(  2): 00 40 ");
}

TEST(EventLineTest, LongDataShowsTheFirst256Bytes) {
    ByteVector data(300, 0xAB);
    data[255] = 0x12;
    data[256] = 0x34;
    const std::string line = Decoded(0xF0, data);
    EXPECT_THAT(line, HasSubstr("F0(300): "));
    EXPECT_THAT(line, EndsWith("AB 12 "));
    EXPECT_EQ(line.size(), std::string("<00000000> 00000000ms F0(300): ").size() + 256 * 3);
    EXPECT_THAT(Decoded(0xF0, ByteVector(1000, 0x01)), HasSubstr("F0(1000): 01 01 "));
}

TEST(EventLineTest, Styles) {
    struct Case {
        std::uint8_t status;
        ByteVector data;
        ReportStyle style;
        std::uint8_t channel;
    };
    const Case cases[] = {
        {0x80, {0x3C, 0x01}, ReportStyle::Channel, 0},
        {0x9F, {0x3C, 0x40, 0x01}, ReportStyle::Channel, 15},
        {0xB8, {0x07, 0x40}, ReportStyle::Channel, 8},
        {0xCC, {0x05}, ReportStyle::Channel, 12},
        {0x93, {}, ReportStyle::Channel, 3},
        {0xA1, {0x01, 0x02, 0x03}, ReportStyle::Dim, 0},
        {0xD2, {0x01, 0x02}, ReportStyle::Dim, 0},
        {0xE4, {0x00, 0x40}, ReportStyle::Dim, 0},
        {0xFF, {0x00}, ReportStyle::Faint, 0},
        {0xF0, {0x00}, ReportStyle::Faint, 0},
        {0xFF, {0x2F, 0x00}, ReportStyle::Dim, 0},
        {0xF0, {0x05, 0x43, 0x79, 0x06, 0x7F, 0xF7}, ReportStyle::Dim, 0},
        {0xFF, {}, ReportStyle::Dim, 0},
        {0x12, {}, ReportStyle::Dim, 0},
    };
    for (const Case& c : cases) {
        const ReportLine line = MakeEventLine(4, MakeEvent(10, c.status, c.data));
        EXPECT_EQ(line.style, c.style) << line.text;
        EXPECT_EQ(line.channel, c.channel) << line.text;
        EXPECT_EQ(line.text, FormatEventLine(4, MakeEvent(10, c.status, c.data)));
    }
}

class MarkerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (std::uint32_t time : {0u, 100u, 100u, 250u}) {
            InsertEvent(*smaf, std::make_unique<Event>(time, 0xB0, ByteVector{0x07, 0x64}));
        }
    }
    std::optional<std::size_t> MarkerAt(std::uint32_t playPositionMs) {
        DetailReport report;
        AppendEventListSection(report, *smaf, playPositionMs);
        EXPECT_EQ(report.lines.size(), 3u + 4u);
        return report.markerLine;
    }
    std::unique_ptr<Smaf> smaf = CreateSmaf(4, 4);
};

// The marker sits on the first event at or after the play position; line 3 is the first event.
TEST_F(MarkerTest, MarksTheFirstEventAtOrAfterThePosition) {
    EXPECT_EQ(MarkerAt(0), 3u);
    EXPECT_EQ(MarkerAt(1), 4u);
    EXPECT_EQ(MarkerAt(100), 4u);
    EXPECT_EQ(MarkerAt(101), 6u);
    EXPECT_EQ(MarkerAt(250), 6u);
    EXPECT_FALSE(MarkerAt(251));
    EXPECT_FALSE(MarkerAt(0xFFFFFFFFu));
}

TEST_F(MarkerTest, LinesAreNumberedInListOrder) {
    DetailReport report;
    report.AddPlain("before");
    AppendEventListSection(report, *smaf, 0);
    report.AddPlain("after");
    EXPECT_EQ(report.markerLine, 4u);
    // Event lines are made as they are read, in any order, between the lines held around them.
    EXPECT_EQ(report.lines[7].text.substr(0, 23), "<00000003> 00000250ms B");
    EXPECT_EQ(report.lines[5].text.substr(0, 23), "<00000001> 00000100ms B");
    EXPECT_EQ(report.lines[0].text, "before");
    EXPECT_EQ(report.lines[8].text, "after");
    EXPECT_EQ(report.lines.size(), 9u);
}

}  // namespace
}  // namespace rolvik
