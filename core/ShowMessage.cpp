#include "ShowMessage.h"

#include <iostream>
#include <utility>

namespace rolvik {
namespace {

void PrintToStderr(std::string_view text, std::string_view caption, MessageIcon) {
    std::cerr << caption << ": " << text << '\n';
}

MessageHandler& CurrentHandler() {
    static MessageHandler handler = PrintToStderr;
    return handler;
}

}  // namespace

void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon) {
    CurrentHandler()(text, caption, icon);
}

MessageHandler SetMessageHandler(MessageHandler handler) {
    if (!handler) {
        handler = PrintToStderr;
    }
    return std::exchange(CurrentHandler(), std::move(handler));
}

}  // namespace rolvik
