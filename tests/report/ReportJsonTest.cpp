#include "cli/ReportJson.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cli/ShiftJisText.h"

namespace rolvik::cli {
namespace {

TEST(ShiftJisTextTest, DecodesTheProgramsCodePage) {
    EXPECT_EQ(ShiftJisToUtf8("abc"), "abc");
    EXPECT_EQ(ShiftJisToUtf8("\x82\xA0\x83\x41"),
              "\xE3\x81\x82\xE3\x82\xA2");              // hiragana a, katakana a
    EXPECT_EQ(ShiftJisToUtf8("\xB1"), "\xEF\xBD\xB1");  // half-width katakana a
    // A byte that starts no character, and a lead byte with nothing after it, become U+FFFD.
    EXPECT_EQ(ShiftJisToUtf8("a\xFDz"), "a\xEF\xBF\xBDz");
    EXPECT_EQ(ShiftJisToUtf8("a\x82"), "a\xEF\xBF\xBD");
    // Longer than the decoder's buffer: nothing is lost where the buffer fills.
    std::string longText;
    std::string longDecoded;
    for (int i = 0; i < 300; ++i) {
        longText += "\x82\xA0";
        longDecoded += "\xE3\x81\x82";
    }
    EXPECT_EQ(ShiftJisToUtf8(longText), longDecoded);
}

std::string ReportAsJson(const DetailReport& report) {
    std::ostringstream json;
    WriteReportAsJson(json, report);
    return json.str();
}

TEST(ReportJsonTest, LinesStylesAndMarker) {
    DetailReport report;
    report.hasDocument = true;
    report.AddPlain("Title: \"q\" \\ \x82\xA0");
    report.lines.push_back(
        {"<00000000> 00000000ms 95(  3): 3C 64 0A > NoteOn C-3", ReportStyle::Channel, 5});
    report.lines.push_back({"x\ty", ReportStyle::Faint, 0});
    report.lines.push_back({"EOS", ReportStyle::Dim, 0});
    report.markerLine = 1;
    EXPECT_EQ(
        ReportAsJson(report),
        "{\"hasDocument\":true,\"markerLine\":1,\"lines\":[\n"
        "{\"text\":\"Title: \\\"q\\\" \\\\ \xE3\x81\x82\",\"style\":\"Plain\",\"channel\":null},\n"
        "{\"text\":\"<00000000> 00000000ms 95(  3): 3C 64 0A > NoteOn C-3\",\"style\":"
        "\"Channel\",\"channel\":5},\n"
        "{\"text\":\"x\\u0009y\",\"style\":\"Faint\",\"channel\":null},\n"
        "{\"text\":\"EOS\",\"style\":\"Dim\",\"channel\":null}\n]}\n");

    EXPECT_EQ(ReportAsJson(BuildDetailReport(nullptr, 0)),
              "{\"hasDocument\":false,\"markerLine\":null,\"lines\":[\n"
              "{\"text\":\"SMAF not opened.\",\"style\":\"Plain\",\"channel\":null}\n]}\n");
}

}  // namespace
}  // namespace rolvik::cli
