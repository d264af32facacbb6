#pragma once

#include <cstdint>
#include <vector>

#include "Bytes.h"
#include "Event.h"

namespace rolvik {

// An event as a compiled sequence writes it: status and data laid out as an Event's.
struct CompiledEvent {
    std::uint8_t status = 0;
    ByteVector data;
};

// The Mobile Standard events that say what each event of a HandyPhone Standard song's list says,
// one entry per event in list order, so that the compiled song sounds the same in players that
// know only the newer form:
//
// - a voice definition becomes the MA-3 voice definition of the same voice, at bank MSB 124 (the
//   melody bank), the LSB of its bank (HandyPhoneBankLsb) and its program;
// - a bank select becomes bank select 124 and that LSB, so that the channel still finds it;
// - a note, which carries no velocity, gets velocity 127: these songs play at their voices' full
//   level;
// - register writes that key notes on (43 03 90 with B0-BF and C0-CF) become notes at the nearest
//   key with a pitch bend for the rest, held until the key-off write. A held note whose frequency
//   moves beyond the bend's 2 semitones ends there and a new note starts at the new key, unless it
//   was struck at that same moment: then it takes the new key. Writes that start or move nothing
//   leave no event.
//
// Every other event stays as it is.
std::vector<std::vector<CompiledEvent>> TranslateHandyPhoneEvents(const Event* first);

}  // namespace rolvik
