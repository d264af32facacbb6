#include "ShowMessage.h"

#include <iostream>
#include <string>
#include <utility>

namespace rolvik {
namespace {

// One message a line, so that scripts can read them: a line break inside the text is written as the
// two characters \n.
void PrintToStderr(std::string_view text, std::string_view caption, MessageIcon) {
    std::string line;
    for (char c : text) {
        line += c == '\n' ? std::string_view("\\n") : std::string_view(&c, 1);
    }
    std::cerr << caption << ": " << line << '\n';
}

MessageHandler& CurrentHandler() {
    static MessageHandler handler = PrintToStderr;
    return handler;
}

thread_local MessageHandler* threadHandler = nullptr;

}  // namespace

void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) {
    if (threadHandler != nullptr) {
        (*threadHandler)(text, caption, icon);
        return;
    }
    CurrentHandler()(text, caption, icon);
}

MessageHandler SetMessageHandler(MessageHandler handler) {
    if (!handler) {
        handler = PrintToStderr;
    }
    return std::exchange(CurrentHandler(), std::move(handler));
}

ScopedThreadMessageHandler::ScopedThreadMessageHandler(MessageHandler handler)
    : handler_(std::move(handler)), previous_(std::exchange(threadHandler, &handler_)) {}

ScopedThreadMessageHandler::~ScopedThreadMessageHandler() {
    threadHandler = previous_;
}

}  // namespace rolvik
