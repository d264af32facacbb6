#pragma once

#include <cstdint>
#include <memory>

#include "EditStep.h"
#include "core/Event.h"
#include "core/Smaf.h"

namespace rolvik {

// Velocity and length of a note inserted by a double-click.
inline constexpr std::uint8_t kNewNoteVelocity = 127;
inline constexpr std::uint32_t kNewNoteGateMs = 500;

// A note that the piano roll shows and lets the mouse hit: every track when visibleTrack is -1,
// otherwise only that channel's notes.
bool IsVisibleNote(const Event& event, int visibleTrack);

// The first visible note of `key` that sounds at `timeMs` (start included, end excluded). The list
// is in time order, so of overlapping notes the earliest-starting one is found.
Event* FindNoteAt(const Smaf& document, int visibleTrack, std::uint32_t timeMs, int key);

// Puts the end-of-sequence event back behind the last event of the list after `edited` was
// inserted, moved or resized. The end keeps the time it had before the gesture unless the edited
// note now ends later (or another event lies later), so an edit never cuts off the song's tail; a
// list without one gets it behind its last event. The change becomes part of `step`.
void PlaceEndOfSequence(Smaf& document, EditStep& step, const Event& edited,
                        const EventRemovalNotice& removing);

// Replaces the note's gate time, keeping its key and (for 0x9n) its velocity.
void SetNoteGate(Event& note, std::uint32_t gateMs);

// A new 500 ms note of velocity 127 on the track (0..15).
std::unique_ptr<Event> MakeNewNote(std::uint32_t timeMs, int track, int key);

// Rounds down to a multiple of the base; negative values become 0, and a base of 0 snaps nothing.
std::uint32_t SnapDown(std::int64_t value, std::uint32_t base);

}  // namespace rolvik
