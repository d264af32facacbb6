// The engine library with a stopwatch on SetMidiMsg: every message is timed on arrival and passed
// on to the engine unchanged. When the library is unloaded, one line per message goes to the file
// named by ROLVIK_TIMING_LOG: "<steady clock ns> <message bytes in hex>".
//
// The engine's own exports are compiled into this library with their SetMidiMsg renamed to
// EngineSetMidiMsg (see CMakeLists.txt), so this file's SetMidiMsg takes its place.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern "C" std::int32_t EngineSetMidiMsg(const std::uint8_t* message, std::int32_t size);

namespace {

struct TimedMessage {
    std::int64_t arrivalNs;
    std::vector<std::uint8_t> bytes;
};

class MessageLog {
  public:
    MessageLog() { messages_.reserve(1 << 20); }
    ~MessageLog() { Write(); }

    void Add(const std::uint8_t* message, std::int32_t size) {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        messages_.push_back({std::chrono::duration_cast<std::chrono::nanoseconds>(now).count(),
                             std::vector<std::uint8_t>(message, message + size)});
    }

  private:
    void Write() const {
        const char* path = std::getenv("ROLVIK_TIMING_LOG");
        std::FILE* file = path ? std::fopen(path, "w") : nullptr;
        if (!file) {
            return;
        }
        for (const TimedMessage& message : messages_) {
            std::fprintf(file, "%lld", static_cast<long long>(message.arrivalNs));
            for (const std::uint8_t byte : message.bytes) {
                std::fprintf(file, " %02X", byte);
            }
            std::fputc('\n', file);
        }
        std::fclose(file);
    }

    std::vector<TimedMessage> messages_;
};

MessageLog& Log() {
    static MessageLog log;
    return log;
}

}  // namespace

extern "C" std::int32_t SetMidiMsg(const std::uint8_t* message, std::int32_t size) {
    if (message && size > 0) {
        Log().Add(message, size);
    }
    return EngineSetMidiMsg(message, size);
}
