#pragma once

#include <cstdint>
#include <optional>

#include "Bytes.h"
#include "Diagnostics.h"
#include "EventBatch.h"
#include "Smaf.h"

namespace rolvik {

// Converts the event stream of a HandyPhone Standard score track (four channels, two-byte numbers
// for durations and gate times) into the same events the Mobile Standard conversion makes. The
// track's channels land on document channels (channelBase + channel) mod 16; the loader gives each
// track chunk a base 4 higher than the one before.
//
// `setup`, `startOffset` and `stopOffset` work as for ConvertEvents, except that start and stop are
// set only while they are still null. A sequence ends at an event that begins with the three bytes
// 00 00 00, which becomes an end-of-sequence event (FF 2F 00). Octave shifts last for one call. An
// unknown three-byte control is reported to the user and kept as a data-less event of status 0; an
// event cut short by the end of the stream is dropped.
void ConvertHandyPhoneEvents(Smaf& smaf, Bytes stream, bool setup,
                             std::optional<std::uint32_t> startOffset,
                             std::optional<std::uint32_t> stopOffset, unsigned channelBase);

// The same, adding the events to a batch of the document that the caller commits and reporting to
// `diagnostics`.
void ConvertHandyPhoneEvents(EventBatch& batch, Bytes stream, bool setup,
                             std::optional<std::uint32_t> startOffset,
                             std::optional<std::uint32_t> stopOffset, unsigned channelBase,
                             Diagnostics& diagnostics);

}  // namespace rolvik
