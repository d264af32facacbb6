#pragma once

#include <functional>
#include <string_view>
#include <utility>

namespace rolvik {

enum class MessageIcon { None, Information, Error };

// Every routine that reports a failure or a notice goes through this one seam. The window installs
// a message-box handler, the command-line tool prints to stderr, and tests install a recorder.
using MessageHandler =
    std::function<void(std::string_view text, std::string_view caption, MessageIcon icon)>;

void ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon);

// Installs a handler and returns the one it replaces. An empty handler restores the default, which
// prints "Caption: text" on stderr, one message a line.
MessageHandler SetMessageHandler(MessageHandler handler);

// Installs a handler for the lifetime of a scope, restoring the previous one afterwards.
class ScopedMessageHandler {
  public:
    explicit ScopedMessageHandler(MessageHandler handler)
        : previous_(SetMessageHandler(std::move(handler))) {}
    ~ScopedMessageHandler() { SetMessageHandler(std::move(previous_)); }
    ScopedMessageHandler(const ScopedMessageHandler&) = delete;
    ScopedMessageHandler& operator=(const ScopedMessageHandler&) = delete;

  private:
    MessageHandler previous_;
};

// Installs a handler for the calling thread alone, for the lifetime of a scope: work running on
// several threads at once (a folder conversion) hears each its own messages. It takes precedence
// over the process-wide handler on that thread.
class ScopedThreadMessageHandler {
  public:
    explicit ScopedThreadMessageHandler(MessageHandler handler);
    ~ScopedThreadMessageHandler();
    ScopedThreadMessageHandler(const ScopedThreadMessageHandler&) = delete;
    ScopedThreadMessageHandler& operator=(const ScopedThreadMessageHandler&) = delete;

  private:
    MessageHandler handler_;
    MessageHandler* previous_;
};

}  // namespace rolvik
