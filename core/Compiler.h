#pragma once

#include <optional>

#include "Bytes.h"
#include "Smaf.h"

namespace rolvik {

// Builds a complete SMAF file from the document's event list: "MMMD" with one uncompressed Mobile
// Standard score track ("MTR" 0x05), closed by its check code. What the list does not hold comes
// from the document's file image as it is (see CarriedChunks): its "CNTI" (a fixed one when there
// is none), "OPDA", channel status, stream waves and audio tracks. The document's start and stop
// events, when it has them, become the track's seek points. A song made only of HandyPhone
// Standard tracks is written in the Mobile Standard form that says the same (see
// TranslateHandyPhoneEvents). The document is not changed. Fails (no
// bytes) when a timebase is not one a score track can state, since nothing could then be divided
// into ticks; the caller reports it.
std::optional<ByteVector> CompileSMAF(const Smaf& smaf);

}  // namespace rolvik
