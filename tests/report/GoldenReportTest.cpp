#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/Loader.h"
#include "core/ShowMessage.h"
#include "report/DetailReport.h"
#include "tests/support/Corpus.h"

namespace rolvik {
namespace {

namespace fs = std::filesystem;

// Reports of real files, checked by hand once against the files' bytes and kept beside the tests:
// a HandyPhone song with unknown text tags, a compressed Mobile Standard song whose "Dch" holds a
// binary edit state shown in hex, a file of another contents class with a reserved code, one
// without a score track, one that starts like SMAF but holds no "CNTI", and a Korean song whose
// EUC-KR title reads in hangul.
std::vector<fs::path> GoldenReports() {
    std::vector<fs::path> reports;
    for (const auto& entry : fs::directory_iterator(fs::path(ROLVIK_TEST_DATA_DIR) / "report")) {
        if (entry.path().extension() == ".txt") {
            reports.push_back(entry.path());
        }
    }
    return reports;
}

std::vector<std::string> ReadLines(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(GoldenReportTest, CorpusReportsMatchTheCheckedCopies) {
    const std::vector<fs::path> reports = GoldenReports();
    ASSERT_GE(reports.size(), 5u);
    ROLVIK_REQUIRE_CORPUS();
    ScopedMessageHandler quiet([](std::string_view, std::string_view, MessageIcon) {});
    for (const fs::path& report : reports) {
        const fs::path song = fs::path(ROLVIK_CORPUS_DIR) / report.stem().concat(".mmf");
        if (!fs::exists(song)) {
            ADD_FAILURE() << "missing corpus file " << song;
            continue;
        }
        const std::unique_ptr<Smaf> smaf = OpenSmaf(song);
        ASSERT_TRUE(smaf) << song;
        std::vector<std::string> built;
        for (const ReportLine& line : BuildDetailReport(smaf.get(), 0).lines) {
            built.push_back(line.text);
        }
        EXPECT_THAT(built, ::testing::ElementsAreArray(ReadLines(report))) << report.filename();
    }
}

}  // namespace
}  // namespace rolvik
