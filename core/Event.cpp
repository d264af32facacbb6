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
    if (event.status >= 0x80 && event.status <= 0x8F && data.size() > 1) {
        return PeekNumber(data.subspan(1));
    }
    if (event.status >= 0x90 && event.status <= 0x9F && data.size() > 2) {
        return PeekNumber(data.subspan(2));
    }
    return 0;
}

std::uint8_t EventKey(const Event& event) {
    return IsNoteEvent(event) && !event.data.empty() ? event.data[0] : 0;
}

}  // namespace rolvik
