#pragma once

#include "DetailReport.h"
#include "core/FileView.h"

namespace rolvik {

// The lines on a score track chunk ("MTR"): format and sequence type, both timebases,
// the channel status of its format and, for Mobile Standard tracks, which sub-chunks it holds.
// Fields a short chunk lacks are not shown.
void AppendTrackSetup(DetailReport& report, const ScoreTrackView& track);

}  // namespace rolvik
