#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/ShowMessage.h"
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

struct ShownMessage {
    std::string text;
    std::string caption;
    MessageIcon icon;

    bool operator==(const ShownMessage&) const = default;
};

inline void PrintTo(const ShownMessage& message, std::ostream* out) {
    *out << message.caption << ": " << message.text << " (icon " << static_cast<int>(message.icon)
         << ")";
}

// Records every message shown while it lives.
class MessageRecorder {
  public:
    MessageRecorder()
        : handler_([this](std::string_view text, std::string_view caption, MessageIcon icon) {
              messages.push_back({std::string(text), std::string(caption), icon});
          }) {}

    std::vector<ShownMessage> messages;

  private:
    ScopedMessageHandler handler_;
};

}  // namespace rolvik::testing
