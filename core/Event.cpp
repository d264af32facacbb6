#include "Event.h"

#include "EventPool.h"
#include "Number.h"

namespace rolvik {

Event::~Event() {
    std::unique_ptr<Event> rest = std::move(next);
    while (rest) {
        rest = std::move(rest->next);
    }
}

static_assert(sizeof(Event) == EventPool::kSlotBytes);

void* Event::operator new(std::size_t) {
    return EventPool::Allocate();
}

void Event::operator delete(void* node) noexcept {
    EventPool::Free(node);
}

std::uint32_t EventGate(const Event& event) {
    Bytes data = event.data;
    if (StatusKind(event.status) == kNoteOff && data.size() > 1) {
        return PeekNumber(data.subspan(1));
    }
    if (StatusKind(event.status) == kNoteOn && data.size() > 2) {
        return PeekNumber(data.subspan(2));
    }
    return 0;
}

std::uint8_t EventKey(const Event& event) {
    return IsNoteEvent(event) && !event.data.empty() ? event.data[0] : 0;
}

bool IsEndOfSequence(const Event& event) {
    return event.status == kSequenceEvent && event.data.size() == 2 &&
           event.data[0] == kEndOfSequence && event.data[1] == 0x00;
}

std::unique_ptr<Event> MakeEndOfSequence(std::uint32_t timeMs) {
    return std::make_unique<Event>(timeMs, kSequenceEvent, CompactBytes{kEndOfSequence, 0x00});
}

}  // namespace rolvik
