#include "report/ReportJson.h"

#include <gtest/gtest.h>

#include <sstream>

namespace rolvik {
namespace {

std::string ReportAsJson(const DetailReport& report) {
    std::ostringstream json;
    WriteReportAsJson(json, report);
    return json.str();
}

TEST(ReportJsonTest, LinesStylesAndMarker) {
    DetailReport report;
    report.hasDocument = true;
    report.AddPlain("Title: \"q\" \\ \xE3\x81\x82");
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
}  // namespace rolvik
