#include "DetailReport.h"

#include "ContentsInfoLines.h"
#include "EventListSection.h"
#include "TrackSetupLines.h"
#include "core/Chunk.h"
#include "core/ScoreTrackWalker.h"

namespace rolvik {
namespace {

// The structural summary and the event list of a document that has SMAF bytes.
void AppendFileReport(DetailReport& report, const Smaf& document, std::uint32_t playPositionMs) {
    report.AddPlain("SMAF (compiled) data Info=====");
    const auto file = FindChunk(document.file(), "MMMD");
    if (!file) {
        report.AddPlain("MMMD NOT FOUND");
        return;
    }
    const Bytes contentArea = ChunksBeforeCheckCode(*file);
    const auto contentsInfo = FindChunk(contentArea, "CNTI");
    if (!contentsInfo) {
        report.AddPlain("CNTI NOT FOUND");
        return;
    }
    AppendContentsInfo(report, contentsInfo->contents);
    if (const auto optionalData = FindChunk(contentArea, "OPDA")) {
        AppendOptionalData(report, optionalData->contents);
    }
    if (const auto track = ScoreTrackWalker(contentArea).Next()) {
        AppendTrackSetup(report, track->chunk.contents);
    }
    AppendEventListSection(report, document, playPositionMs);
    report.AddPlain("READY");
}

}  // namespace

DetailReport BuildDetailReport(const Smaf* document, std::uint32_t playPositionMs) {
    DetailReport report;
    if (!document) {
        report.AddPlain("SMAF not opened.");
        return report;
    }
    report.hasDocument = true;
    if (document->fileData.empty()) {
        report.AddPlain("SMAF data is empty.");
        report.AddPlain("Please compile.");
        return report;
    }
    AppendFileReport(report, *document, playPositionMs);
    return report;
}

}  // namespace rolvik
