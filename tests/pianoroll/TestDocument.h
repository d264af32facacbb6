#pragma once

#include <memory>

#include "core/Number.h"
#include "core/Smaf.h"

namespace rolvik::test {

// Adds a note event (0x8n without velocity, 0x9n with it) and returns it.
inline Event* AddNote(Smaf& document, std::uint32_t timeMs, std::uint8_t status, int key,
                      std::uint32_t gateMs, std::uint8_t velocity = 100) {
    ByteVector data{static_cast<std::uint8_t>(key)};
    if ((status & 0xF0) == 0x90) {
        data.push_back(velocity);
    }
    WriteNumber(data, gateMs);
    return InsertEvent(document, std::make_unique<Event>(timeMs, status, std::move(data)));
}

inline Event* AddEndOfSequence(Smaf& document, std::uint32_t timeMs) {
    return InsertEvent(document, std::make_unique<Event>(timeMs, 0xFF, ByteVector{0x2F, 0x00}));
}

inline const Event* LastEvent(const Smaf& document) {
    const Event* event = document.events.get();
    while (event && event->next) {
        event = event->next.get();
    }
    return event;
}

inline bool IsEndOfSequence(const Event* event) {
    return event && event->status == 0xFF && event->data == ByteVector{0x2F, 0x00};
}

}  // namespace rolvik::test
