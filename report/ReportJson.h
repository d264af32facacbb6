#pragma once

#include <ostream>

#include "report/DetailReport.h"

namespace rolvik {

// The report as one JSON object: {"hasDocument", "markerLine" (a line index or null), "lines": [
// {"text", "style", "channel" (a number for the Channel style, else null)}]}, with the lines' text
// decoded from Shift-JIS. One line of the report per line of output, for readable diffs. Written
// as the lines are made, so that a long report is never held whole.
void WriteReportAsJson(std::ostream& out, const DetailReport& report);

}  // namespace rolvik
