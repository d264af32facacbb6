#include "DetailReport.h"

#include "ContentsInfoLines.h"
#include "EventListSection.h"
#include "TrackSetupLines.h"
#include "core/Chunk.h"
#include "core/FileView.h"

namespace rolvik {
namespace {

// The structural summary and the event list of a document that has SMAF bytes.
void AppendFileReport(DetailReport& report, const Smaf& document, std::uint32_t playPositionMs) {
    report.AddPlain("SMAF (compiled) data Info=====");
    const FileView file = ViewFile(document.file());
    if (!file.file) {
        report.AddPlain("MMMD NOT FOUND");
        return;
    }
    const auto contentsInfo = FindChunk(file.run, "CNTI");
    if (!contentsInfo) {
        report.AddPlain("CNTI NOT FOUND");
        return;
    }
    AppendContentsInfo(report, contentsInfo->contents);
    if (const auto optionalData = FindChunk(file.run, "OPDA")) {
        AppendOptionalData(report, optionalData->contents);
    }
    if (!file.scoreTracks.empty()) {
        AppendTrackSetup(report, file.scoreTracks.front());
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
