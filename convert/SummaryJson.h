#pragma once

#include <ostream>

#include "ConvertBatch.h"

namespace rolvik {

// The summary as one JSON object: {"converted", "failed", "skipped", "stopped",
// "failures": [{"file", "reason"}]}.
void WriteSummaryAsJson(std::ostream& out, const BatchSummary& summary);

}  // namespace rolvik
