#pragma once

#include <cstdint>
#include <optional>

#include "Bytes.h"
#include "Diagnostics.h"
#include "EventBatch.h"
#include "Smaf.h"

namespace rolvik {

// Converts the event stream of a Mobile Standard score track into events of the document, inserted
// in time order. Durations and gate times are ticks, multiplied by the document's durationBase and
// gateBase, which must already hold the track's timebases.
//
// `setup` is true for setup data: no durations, every event at time 0, start and stop untouched.
// For sequence data, the event whose first byte (its duration) lies at `startOffset` becomes the
// document's start and the one at `stopOffset` its stop; none matches no event. Afterwards a
// document without a start starts at the head of its list.
//
// A byte that is not a known status is reported to the user, kept as an event without data, and
// ends the conversion of the stream. A number longer than four bytes is reported and ends the
// conversion before its event. An event cut short by the end of the stream is dropped.
void ConvertEvents(Smaf& smaf, Bytes stream, bool setup, std::optional<std::uint32_t> startOffset,
                   std::optional<std::uint32_t> stopOffset);

// The same, adding the events to a batch of the document that the caller commits and reporting to
// `diagnostics`.
void ConvertEvents(EventBatch& batch, Bytes stream, bool setup,
                   std::optional<std::uint32_t> startOffset,
                   std::optional<std::uint32_t> stopOffset, Diagnostics& diagnostics);

}  // namespace rolvik
