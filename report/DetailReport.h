#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "ReportLine.h"
#include "ReportLines.h"
#include "core/Smaf.h"

namespace rolvik {

// The text report of a document: a summary of its SMAF chunks followed by its event list. It is
// rebuilt from scratch for every paint. Its event lines are made from the document's list as they
// are read, so a report is read before the list changes.
struct DetailReport {
    bool hasDocument = false;
    ReportLines lines;
    std::optional<std::size_t> markerLine;  // the event line the play-position marker sits on

    void AddPlain(std::string text) { lines.push_back({std::move(text), ReportStyle::Plain, 0}); }
};

// Builds the report of `document` (null when none is open). `playPositionMs` is absolute and only
// decides which event line carries the marker. Reads the document and never changes it.
DetailReport BuildDetailReport(const Smaf* document, std::uint32_t playPositionMs);

}  // namespace rolvik
