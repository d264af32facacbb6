#pragma once

#include "DetailReport.h"
#include "core/Bytes.h"

namespace rolvik {

// The lines on the body of a score track chunk ("MTR"): format and sequence type, both timebases,
// the channel status of its format and, for Mobile Standard tracks, which sub-chunks it holds.
// Fields a short body lacks are not shown.
void AppendTrackSetup(DetailReport& report, Bytes trackBody);

}  // namespace rolvik
