#pragma once

#include "core/Smaf.h"

namespace rolvik {

// Sets the document's duration and gate timebases to the finest of the eight a score track can
// state at which every duration and gate of the compiled file still fits a four-byte number.
// Finer ticks keep times closer to the milliseconds of the list; a coarser one is needed only
// where a gap or a note lasts longer than the finer ticks can count.
void ChooseFinestTimebases(Smaf& smaf);

}  // namespace rolvik
