#include "EmulatorBinding.h"

#include <dlfcn.h>

#include <cstdlib>
#include <string>

#include "EngineLocation.h"
#include "core/ShowMessage.h"

namespace rolvik {
namespace {

constexpr std::uintptr_t kWorkPointerLowByte = 0x81;

void ShowError(const std::string& text) {
    ShowMessage(text, "Error", MessageIcon::Error);
}

void* OpenEngineLibrary(const EngineLocation& location) {
    for (const std::string& candidate : location.candidates) {
        if (void* library = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            return library;
        }
    }
    return nullptr;
}

}  // namespace

std::uint8_t* WorkPointerOf(std::uint8_t* block) {
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    return block + ((kWorkPointerLowByte - address) & 0xFF);
}

int EmulatorBinding::LoadEmulator() {
    const EngineLocation location = LocateEngine(std::getenv("ROLVIK_ENGINE"), ExecutableFolder());
    library_ = OpenEngineLibrary(location);
    if (!library_) {
        ShowError(location.shownName + " not found.\nIt requires to run this application.");
        return 0;
    }
    auto functions =
        ResolveEngineFunctions([this](const char* name) { return dlsym(library_, name); });
    if (!functions) {
        return 0;
    }
    functions_ = *functions;
    workBlock_ = std::make_unique<std::uint8_t[]>(kWorkBlockSize);
    workPointer_ = WorkPointerOf(workBlock_.get());
    if (functions_.MaSound_EmuInitialize(kOutputSampleRateHz, kEngineModeMidi, workPointer_) != 0) {
        ShowError("EmuInitialize0 failed!");
        return 0;
    }
    return DeviceSetup();
}

void EmulatorBinding::ReleaseEmulator() {
    if (!library_) {
        return;
    }
    if (functions_.MaSound_EmuTerminate) {
        functions_.MaSound_EmuTerminate();
    }
    workBlock_.reset();
    workPointer_ = nullptr;
    dlclose(library_);
    library_ = nullptr;
    functions_ = EngineFunctions{};
}

int EmulatorBinding::DeviceSetup() const {
    struct Command {
        std::int32_t command;
        std::int32_t p1;
        const char* failure;
    };
    static constexpr Command kCommands[] = {
        {0x05, 2, "DeviceControl(0x05, 2, 0, 0) failed!"},
        {0x06, 0, "DeviceControl(0x06, 0, 0, 0) failed!"},
        {0x08, 2, "DeviceControl(0x08, 2, 0, 0) failed!"},
        {0x09, 0, "DeviceControl(0x09, 0, 0, 0) failed!"},
    };
    for (const Command& command : kCommands) {
        if (functions_.MaSound_DeviceControl(command.command, command.p1, 0, 0) != 0) {
            ShowError(command.failure);
            return 0;
        }
    }
    return 1;
}

int EmulatorBinding::EmuSetMidiMsg(Bytes message) const {
    return functions_.SetMidiMsg(message.data(), static_cast<std::int32_t>(message.size()));
}

}  // namespace rolvik
