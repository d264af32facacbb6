#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/ShowMessage.h"

namespace rolvik::testing {

// One message as the code under test showed it.
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

    // The texts alone, for tests whose captions and icons are checked elsewhere.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const ShownMessage& message : messages) {
            texts.push_back(message.text);
        }
        return texts;
    }

    std::vector<ShownMessage> messages;

  private:
    ScopedMessageHandler handler_;
};

}  // namespace rolvik::testing
