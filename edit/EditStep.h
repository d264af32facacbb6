#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "core/Bytes.h"
#include "core/Event.h"
#include "core/Smaf.h"

namespace rolvik {

// Told about an event right before it leaves the list, so that a player walking the list can step
// off it first.
using EventRemovalNotice = std::function<void(const Event&)>;

// One gesture's change to the event list, made through this object so that it can be taken back
// and made again.
//
// For every event the gesture touches, the step remembers the event's position in the list and
// its time and data, before and after. Only steps change the list between the gesture, its undo
// and its redo, so the untouched events stand in the same order each time; taking the touched
// events out and putting them back at the remembered positions rebuilds the exact list, deltas,
// start and stop included. The step owns the touched events while they are out of the list (a
// deleted note, an inserted one after undo); the ones in the list stay alive because nothing but a
// step takes them out.
class EditStep {
  public:
    EditStep() = default;
    EditStep(EditStep&&) = default;
    EditStep& operator=(EditStep&&) = default;

    // Remembers the event as it is before the gesture first changes it. Call it before every change
    // made to an event in place; an event that is not in the list yet is one the gesture creates.
    void Touch(const Smaf& document, Event& event);

    Event* Insert(Smaf& document, std::unique_ptr<Event> event);
    void Delete(Smaf& document, Event& event, const EventRemovalNotice& removing);
    // Gives the event a new time and puts it back behind the events of equal time.
    void Move(Smaf& document, Event& event, std::uint32_t timeMs,
              const EventRemovalNotice& removing);

    // Remembers where the touched events ended up. False when the list is as it was before, so
    // that a gesture which changed nothing leaves no step.
    bool Finish(const Smaf& document);
    bool touchedAny() const { return !touched_.empty(); }
    // The time the event had before the gesture first changed it; none when the gesture has not
    // touched it or created it.
    std::optional<std::uint32_t> TimeBefore(const Event& event) const;

    void Undo(Smaf& document, const EventRemovalNotice& removing);
    void Redo(Smaf& document, const EventRemovalNotice& removing);

  private:
    struct Placement {
        std::size_t index = 0;  // position in the list, 0 being the head
        std::uint32_t timeMs = 0;
        ByteVector data;
        bool operator==(const Placement&) const = default;
    };
    struct Touched {
        Event* event = nullptr;
        std::unique_ptr<Event> detached;  // owns the event while it is out of the list
        std::optional<Placement> before;  // none: the gesture created it
        std::optional<Placement> after;   // none: the gesture deleted it
    };
    struct Ends {
        Event* start = nullptr;
        Event* stop = nullptr;
        bool operator==(const Ends&) const = default;
    };
    using Side = std::optional<Placement> Touched::*;

    Touched* Find(const Event& event);
    void Apply(Smaf& document, Side side, Ends ends, const EventRemovalNotice& removing);

    std::vector<Touched> touched_;
    // The order of the list before the gesture's first change; compared, never followed, and
    // dropped when the gesture is finished.
    std::vector<const Event*> orderBefore_;
    Ends endsBefore_;
    Ends endsAfter_;
};

}  // namespace rolvik
