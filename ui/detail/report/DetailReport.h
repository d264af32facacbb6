#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/Smaf.h"

namespace rolvik {

// How a line of the report is coloured when drawn.
enum class ReportStyle { Plain, Channel, Faint, Dim };

struct ReportLine {
    std::string text;  // UTF-8, shown as stored ("%" is an ordinary character)
    ReportStyle style = ReportStyle::Plain;
    std::uint8_t channel = 0;  // 0 to 15, meaningful for the Channel style only
};

// The text report of a document: a summary of its SMAF chunks followed by its event list. It is
// rebuilt from scratch for every paint, so it holds copies and no pointers into the document.
struct DetailReport {
    bool hasDocument = false;
    std::vector<ReportLine> lines;
    std::optional<std::size_t> markerLine;  // the event line the play-position marker sits on

    void AddPlain(std::string text) { lines.push_back({std::move(text), ReportStyle::Plain, 0}); }
};

// Builds the report of `document` (null when none is open). `playPositionMs` is absolute and only
// decides which event line carries the marker. Reads the document and never changes it.
DetailReport BuildDetailReport(const Smaf* document, std::uint32_t playPositionMs);

}  // namespace rolvik
