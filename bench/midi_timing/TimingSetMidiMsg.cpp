// The engine library with a stopwatch on SetMidiMsg, for measuring when MidiPlay sends its notes.
// It exports the engine's 18 functions and passes every call on to the real engine library beside
// it; SetMidiMsg first notes the arrival time. When the library is unloaded, one line per message
// goes to the file named by ROLVIK_TIMING_LOG: "<steady clock ns> <message bytes in hex>".

#include <dlfcn.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "synth/EmulatorInterface.h"

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

// The real engine, from the folder this library was loaded from.
void* RealEngine() {
    static void* const engine = [] {
        Dl_info self{};
        dladdr(reinterpret_cast<void*>(&RealEngine), &self);
        const auto path =
            std::filesystem::path(self.dli_fname).parent_path() / ROLVIK_ENGINE_FILE_NAME;
        void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            std::fprintf(stderr, "timing engine: cannot load %s\n", path.c_str());
        }
        return library;
    }();
    return engine;
}

template <typename Function, typename... Arguments>
std::int32_t Forward(const char* name, Arguments... arguments) {
    void* function = RealEngine() ? dlsym(RealEngine(), name) : nullptr;
    return function ? reinterpret_cast<Function>(function)(arguments...) : -1;
}

}  // namespace

extern "C" {

std::int32_t MaSound_EmuInitialize(std::int32_t sampleRate, std::int32_t mode, void* work) {
    return Forward<MaSound_EmuInitialize_t>("MaSound_EmuInitialize", sampleRate, mode, work);
}
std::int32_t MaSound_Initialize(std::int32_t zero, void* workBlock, std::int32_t zero2) {
    return Forward<MaSound_Initialize_t>("MaSound_Initialize", zero, workBlock, zero2);
}
std::int32_t MaSound_DeviceControl(std::int32_t command, std::int32_t p1, std::int32_t p2,
                                   std::int32_t p3) {
    return Forward<MaSound_DeviceControl_t>("MaSound_DeviceControl", command, p1, p2, p3);
}
std::int32_t MaSound_Terminate() {
    return Forward<MaSound_Terminate_t>("MaSound_Terminate");
}
std::int32_t MaSound_Create(std::int32_t sequenceType) {
    return Forward<MaSound_Create_t>("MaSound_Create", sequenceType);
}
std::int32_t MaSound_Load(std::int32_t sound, const std::uint8_t* smaf, std::int32_t size,
                          std::int32_t mode, void* callback, void* extension) {
    return Forward<MaSound_Load_t>("MaSound_Load", sound, smaf, size, mode, callback, extension);
}
std::int32_t MaSound_Control(std::int32_t sound, std::int32_t slot, std::int32_t control,
                             std::int32_t* value, std::int32_t extension) {
    return Forward<MaSound_Control_t>("MaSound_Control", sound, slot, control, value, extension);
}
std::int32_t MaSound_Open(std::int32_t sound, std::int32_t slot, std::int32_t p2, std::int32_t p3) {
    return Forward<MaSound_Open_t>("MaSound_Open", sound, slot, p2, p3);
}
std::int32_t MaSound_Standby(std::int32_t sound, std::int32_t slot, std::int32_t p2) {
    return Forward<MaSound_Standby_t>("MaSound_Standby", sound, slot, p2);
}
std::int32_t MaSound_Start(std::int32_t sound, std::int32_t slot, std::int32_t loops,
                           std::int32_t p3) {
    return Forward<MaSound_Start_t>("MaSound_Start", sound, slot, loops, p3);
}
std::int32_t MaSound_GetEmuInfo(std::int32_t info) {
    return Forward<MaSound_GetEmuInfo_t>("MaSound_GetEmuInfo", info);
}
std::int32_t MaSound_Stop(std::int32_t sound, std::int32_t slot, std::int32_t p2) {
    return Forward<MaSound_Stop_t>("MaSound_Stop", sound, slot, p2);
}
std::int32_t MaSound_Seek(std::int32_t sound, std::int32_t slot, std::int32_t positionMs,
                          std::int32_t p3, std::int32_t p4) {
    return Forward<MaSound_Seek_t>("MaSound_Seek", sound, slot, positionMs, p3, p4);
}
std::int32_t MaSound_Close(std::int32_t sound, std::int32_t slot, std::int32_t p2) {
    return Forward<MaSound_Close_t>("MaSound_Close", sound, slot, p2);
}
std::int32_t MaSound_Unload(std::int32_t sound, std::int32_t slot, std::int32_t p2) {
    return Forward<MaSound_Unload_t>("MaSound_Unload", sound, slot, p2);
}
std::int32_t MaSound_Delete(std::int32_t sound) {
    return Forward<MaSound_Delete_t>("MaSound_Delete", sound);
}
std::int32_t MaSound_EmuTerminate() {
    return Forward<MaSound_EmuTerminate_t>("MaSound_EmuTerminate");
}
std::int32_t SetMidiMsg(const std::uint8_t* message, std::int32_t size) {
    if (message && size > 0) {
        Log().Add(message, size);
    }
    return Forward<SetMidiMsg_t>("SetMidiMsg", message, size);
}

}  // extern "C"
