#include "Event.h"

#include "Number.h"

namespace rolvik {

Event::~Event() {
    std::unique_ptr<Event> rest = std::move(next);
    while (rest) {
        rest = std::move(rest->next);
    }
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
