#include "Smaf.h"

#include "ShowMessage.h"

namespace rolvik {
namespace {

// Deltas are differences of times that wrap at 32 bits; they are stored signed but always worked
// out unsigned, so that times of 2^31 ms and more wrap instead of overflowing.
std::int32_t AsDelta(std::uint32_t ms) {
    return static_cast<std::int32_t>(ms);
}

void AddToDelta(Event& event, std::uint32_t amountMs) {
    event.delta = AsDelta(static_cast<std::uint32_t>(event.delta) + amountMs);
}

Event* InsertAsHead(Smaf& smaf, std::unique_ptr<Event> event) {
    event->delta = AsDelta(event->time);
    if (smaf.events) {
        AddToDelta(*smaf.events, 0u - event->time);
    }
    event->next = std::move(smaf.events);
    smaf.events = std::move(event);
    smaf.start = smaf.events.get();
    return smaf.events.get();
}

// The last event whose time is not later than `time`, searched from `from` onwards.
Event* LastNotLaterThan(Event* from, std::uint32_t time) {
    Event* predecessor = from;
    while (predecessor->next && time >= predecessor->next->time) {
        predecessor = predecessor->next.get();
    }
    return predecessor;
}

}  // namespace

std::uint32_t Smaf::StartOffset() const {
    return start ? start->time - static_cast<std::uint32_t>(start->delta) : 0;
}

std::unique_ptr<Smaf> CreateSmaf(std::uint32_t durationBase, std::uint32_t gateBase) {
    auto smaf = std::make_unique<Smaf>();
    smaf->durationBase = durationBase;
    smaf->gateBase = gateBase;
    return smaf;
}

Event* InsertEvent(Smaf& smaf, std::unique_ptr<Event> event) {
    Event* inserted = nullptr;
    if (!smaf.events || event->time < smaf.events->time) {
        inserted = InsertAsHead(smaf, std::move(event));
    } else {
        Event* walkFrom = smaf.events.get();
        if (smaf.lastInserted && smaf.lastInserted->time <= event->time) {
            walkFrom = smaf.lastInserted;
        }
        Event* predecessor = LastNotLaterThan(walkFrom, event->time);
        event->delta = AsDelta(event->time - predecessor->time);
        if (predecessor->next) {
            AddToDelta(*predecessor->next, predecessor->time - event->time);
        }
        event->next = std::move(predecessor->next);
        predecessor->next = std::move(event);
        inserted = predecessor->next.get();
    }
    smaf.lastInserted = inserted;
    return inserted;
}

std::unique_ptr<Event> RemoveEvent(Smaf& smaf, Event* event) {
    std::unique_ptr<Event>* link = &smaf.events;
    while (*link && link->get() != event) {
        link = &(*link)->next;
    }
    if (!*link) {
        return nullptr;
    }
    std::unique_ptr<Event> removed = std::move(*link);
    *link = std::move(removed->next);
    Event* successor = link->get();
    if (smaf.start == event) {
        smaf.start = successor;
    }
    if (smaf.stop == event) {
        smaf.stop = successor;
    }
    if (smaf.lastInserted == event) {
        smaf.lastInserted = nullptr;
    }
    if (successor) {
        AddToDelta(*successor, static_cast<std::uint32_t>(removed->delta));
    }
    return removed;
}

Event* InsertEventAt(Smaf& smaf, std::size_t index, std::unique_ptr<Event> event) {
    std::unique_ptr<Event>* link = &smaf.events;
    const Event* predecessor = nullptr;
    for (std::size_t position = 0; position < index && *link; ++position) {
        predecessor = link->get();
        link = &(*link)->next;
    }
    const std::uint32_t previousTime = predecessor ? predecessor->time : 0;
    event->delta = AsDelta(event->time - previousTime);
    if (*link) {
        AddToDelta(**link, previousTime - event->time);
    }
    event->next = std::move(*link);
    *link = std::move(event);
    return link->get();
}

std::optional<std::size_t> IndexOfEvent(const Smaf& smaf, const Event* event) {
    std::size_t index = 0;
    for (const Event* walk = smaf.events.get(); walk; walk = walk->next.get(), ++index) {
        if (walk == event) {
            return index;
        }
    }
    return std::nullopt;
}

void FreeEvents(Smaf& smaf) {
    smaf.events.reset();
    smaf.start = nullptr;
    smaf.stop = nullptr;
    smaf.lastInserted = nullptr;
}

std::unique_ptr<Smaf> CloseSmaf(std::unique_ptr<Smaf> smaf) {
    if (!smaf) {
        ShowMessage("already smaf == NULL", "BUG?", MessageIcon::Error);
    }
    return nullptr;
}

}  // namespace rolvik
