#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "Bytes.h"
#include "Event.h"

namespace rolvik {

// The one in-memory form of a SMAF song: the file image it came from (or the last compiled image)
// and the song as one time-ordered, singly linked list of events in milliseconds.
struct Smaf {
    ByteVector fileData;             // the SMAF file image; empty for a new document
    Event* start = nullptr;          // where playback starts; an event of this list or null
    Event* stop = nullptr;           // the file's stop point; an event of this list or null
    std::unique_ptr<Event> events;   // head of the list, owns every event
    std::uint32_t durationBase = 0;  // ms per duration tick: 1, 2, 4, 5, 10, 20, 40 or 50
    std::uint32_t gateBase = 0;      // ms per gate-time tick, same set

    // What the loader learnt of the file image, for the compiler and the players.
    bool handyPhoneOnly =
        false;  // every score track is a HandyPhone Standard one (IsHandyPhoneOnly)
    bool hasStreamWaves = false;  // a Mobile Standard track carries stream waves ("Mtsp")
    bool hasMa7Track = false;     // a score track is written in MA-7 format, which cannot play

    // The event most recently inserted. Events inserted one by one mostly come in ascending order
    // (a song built in code, a note moved a little), so InsertEvent starts its walk here when it
    // can. Loads go through an EventBatch, whatever the order of their times.
    Event* lastInserted = nullptr;

    Smaf() = default;
    Smaf(const Smaf&) = delete;
    Smaf& operator=(const Smaf&) = delete;

    std::uint32_t fileSize() const { return static_cast<std::uint32_t>(fileData.size()); }
    Bytes file() const { return fileData; }

    // The song's start offset: the time of the event before `start` (start's time minus its delta),
    // 0 when there is no start event.
    std::uint32_t StartOffset() const;
};

// A new, empty document with the given timebases: 4 and 4 for New, 0 and 0 before a load.
std::unique_ptr<Smaf> CreateSmaf(std::uint32_t durationBase, std::uint32_t gateBase);

// Links the event in behind every event whose time is less than or equal to its own and sets the
// deltas around it. An event that becomes the head also becomes `start`. Returns the event.
Event* InsertEvent(Smaf& smaf, std::unique_ptr<Event> event);

// Unlinks the event, repairs the delta behind it, moves `start` and `stop` off it and hands it back
// to the caller; null (and nothing changed) when the event is not in the list.
std::unique_ptr<Event> RemoveEvent(Smaf& smaf, Event* event);

// Links the event in as the list's event number `index` (0 is the head; past the end appends) and
// sets the deltas around it, without comparing times: the caller puts back an event whose place it
// knows keeps the list in time order. `start` and `stop` are left as they are. Returns the event.
Event* InsertEventAt(Smaf& smaf, std::size_t index, std::unique_ptr<Event> event);

// The position of the event in the list (0 is the head), or none when it is not in the list.
std::optional<std::size_t> IndexOfEvent(const Smaf& smaf, const Event* event);

// Frees every event; the file image and the timebases stay.
void FreeEvents(Smaf& smaf);

// Frees the document and returns null for the caller to store. Closing no document is a bug in the
// caller and says so ("already smaf == NULL").
std::unique_ptr<Smaf> CloseSmaf(std::unique_ptr<Smaf> smaf);

}  // namespace rolvik
