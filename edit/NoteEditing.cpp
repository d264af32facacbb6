#include "NoteEditing.h"

#include <algorithm>
#include <utility>

#include "core/Number.h"

namespace rolvik {
namespace {

Event* FindEndOfSequence(const Smaf& document) {
    for (Event* event = document.events.get(); event; event = event->next.get()) {
        if (IsEndOfSequence(*event)) {
            return event;
        }
    }
    return nullptr;
}

std::uint32_t EndOfEvent(const Event& event) {
    return IsNoteEvent(event) ? event.time + EventGate(event) : event.time;
}

const Event* LastEvent(const Smaf& document) {
    const Event* last = document.events.get();
    while (last && last->next) {
        last = last->next.get();
    }
    return last;
}

std::uint32_t EndOfList(const Smaf& document) {
    const Event* last = LastEvent(document);
    return last ? EndOfEvent(*last) : 0;
}

}  // namespace

bool IsVisibleNote(const Event& event, int visibleTrack) {
    return IsNoteEvent(event) && (visibleTrack == -1 || EventChannel(event) == visibleTrack);
}

Event* FindNoteAt(const Smaf& document, int visibleTrack, std::uint32_t timeMs, int key) {
    for (Event* event = document.events.get(); event; event = event->next.get()) {
        if (IsVisibleNote(*event, visibleTrack) && EventKey(*event) == key &&
            event->time <= timeMs && timeMs < event->time + EventGate(*event)) {
            return event;
        }
    }
    return nullptr;
}

void PlaceEndOfSequence(Smaf& document, EditStep& step, const Event& edited,
                        const EventRemovalNotice& removing) {
    if (Event* found = FindEndOfSequence(document)) {
        const std::uint32_t kept = step.TimeBefore(*found).value_or(found->time);
        step.Touch(document, *found);
        removing(*found);
        std::unique_ptr<Event> end = RemoveEvent(document, found);
        const Event* last = LastEvent(document);
        end->time = std::max({kept, EndOfEvent(edited), last ? last->time : 0});
        InsertEvent(document, std::move(end));
        return;
    }
    step.Insert(document, MakeEndOfSequence(EndOfList(document)));
}

void SetNoteGate(Event& note, std::uint32_t gateMs) {
    const std::size_t keptBytes = StatusKind(note.status) == kNoteOn ? 2 : 1;
    ByteVector data(note.data.begin(), note.data.begin() + std::min(keptBytes, note.data.size()));
    data.resize(keptBytes, 0);
    WriteNumber(data, gateMs);
    note.data = std::move(data);
}

std::unique_ptr<Event> MakeNewNote(std::uint32_t timeMs, int track, int key) {
    ByteVector data{static_cast<std::uint8_t>(key), kNewNoteVelocity};
    WriteNumber(data, kNewNoteGateMs);
    return std::make_unique<Event>(timeMs, static_cast<std::uint8_t>(0x90 | track),
                                   std::move(data));
}

std::uint32_t SnapDown(std::int64_t value, std::uint32_t base) {
    if (value <= 0) {
        return 0;
    }
    const std::int64_t step = base == 0 ? 1 : base;
    return static_cast<std::uint32_t>(value / step * step);
}

}  // namespace rolvik
