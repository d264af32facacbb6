#pragma once

#include <cstdint>
#include <ostream>
#include <vector>

#include "core/Smaf.h"

namespace rolvik::testing {

// What a converter leaves of one event, compared as a whole so a failure shows every field.
struct ConvertedEvent {
    std::uint32_t timeMs = 0;
    std::uint8_t status = 0;
    ByteVector data;

    bool operator==(const ConvertedEvent&) const = default;
};

inline void PrintTo(const ConvertedEvent& event, std::ostream* out) {
    *out << "{" << event.timeMs << "ms " << std::hex << int{event.status} << ":";
    for (std::uint8_t byte : event.data) {
        *out << " " << int{byte};
    }
    *out << std::dec << "}";
}

inline std::vector<ConvertedEvent> EventsOf(const Smaf& smaf) {
    std::vector<ConvertedEvent> events;
    for (const Event* e = smaf.events.get(); e; e = e->next.get()) {
        events.push_back({e->time, e->status, e->data});
    }
    return events;
}

// The n-th event of the list (from 0), or null.
inline const Event* EventAt(const Smaf& smaf, std::size_t index) {
    const Event* e = smaf.events.get();
    for (; e && index > 0; --index) {
        e = e->next.get();
    }
    return e;
}

}  // namespace rolvik::testing
