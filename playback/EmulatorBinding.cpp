#include "EmulatorBinding.h"

#include <dlfcn.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "EngineLocation.h"
#include "core/ShowMessage.h"
#include "core/SmafExclusive.h"

namespace rolvik {

int emuActive = 0;
int midiActive = 0;

namespace {

constexpr std::uintptr_t kWorkPointerLowByte = 0x81;

struct Binding {
    void* library = nullptr;
    EngineFunctions functions;
    std::unique_ptr<std::uint8_t[]> workBlock;
    std::uint8_t* workPointer = nullptr;
};

Binding binding;
int volume = 127;
int tempo = 100;
int keyPitch = 0;
bool repeat = false;

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

int ControlValue(std::int32_t control, int value) {
    std::int32_t copy = value;
    return Engine().MaSound_Control(1, 1, control, &copy, 0) != 0 ? 1 : 0;
}

}  // namespace

std::uint8_t* WorkPointerOf(std::uint8_t* block) {
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    return block + ((kWorkPointerLowByte - address) & 0xFF);
}

int LoadEmulator() {
    const EngineLocation location = LocateEngine(std::getenv("ROLVIK_ENGINE"), ExecutableFolder());
    binding.library = OpenEngineLibrary(location);
    if (!binding.library) {
        ShowError(location.shownName + " not found.\nIt requires to run this application.");
        return 0;
    }
    auto functions =
        ResolveEngineFunctions([](const char* name) { return dlsym(binding.library, name); });
    if (!functions) {
        return 0;
    }
    binding.functions = *functions;
    binding.workBlock = std::make_unique<std::uint8_t[]>(kWorkBlockSize);
    binding.workPointer = WorkPointerOf(binding.workBlock.get());
    if (Engine().MaSound_EmuInitialize(kOutputSampleRateHz, kEngineModeMidi, binding.workPointer) !=
        0) {
        ShowError("EmuInitialize0 failed!");
        return 0;
    }
    if (!DeviceSetup()) {
        return 0;
    }
    emuActive = 0;
    midiActive = 0;
    return 1;
}

void ReleaseEmulator() {
    if (!binding.library) {
        return;
    }
    if (binding.functions.MaSound_EmuTerminate) {
        binding.functions.MaSound_EmuTerminate();
    }
    binding.workBlock.reset();
    binding.workPointer = nullptr;
    dlclose(binding.library);
    binding = Binding{};
}

int DeviceSetup() {
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
        if (Engine().MaSound_DeviceControl(command.command, command.p1, 0, 0) != 0) {
            ShowError(command.failure);
            return 0;
        }
    }
    return 1;
}

int EmuSetMidiMsg(Bytes message) {
    return Engine().SetMidiMsg(message.data(), static_cast<std::int32_t>(message.size()));
}

int EmuMIDISetVolume() {
    if (EmuSetMidiMsg(MasterVolumeMessage(volume)) != 0) {
        ShowError("EmuMIDISetVolume failed");
        return 0;
    }
    return 1;
}

int SetVolume(int newVolume) {
    volume = newVolume;
    if (emuActive && ControlValue(0, newVolume)) {
        return 1;
    }
    if (midiActive && EmuSetMidiMsg(MasterVolumeMessage(newVolume)) != 0) {
        return 1;
    }
    return 0;
}

int SetTempo(int newTempo) {
    tempo = newTempo;
    return emuActive ? ControlValue(1, newTempo) : 0;
}

int SetKeyPitch(int newKeyPitch) {
    keyPitch = newKeyPitch;
    return emuActive ? ControlValue(2, newKeyPitch) : 0;
}

int GetVolume() {
    return volume;
}
int GetTempo() {
    return tempo;
}
int GetKeyPitch() {
    return keyPitch;
}

void SetRepeat(bool newRepeat) {
    repeat = newRepeat;
    if (emuActive) {
        Engine().MaSound_Start(1, 1, RepeatLoops(), 0);
    }
}

bool GetRepeat() {
    return repeat;
}

std::int32_t RepeatLoops() {
    return repeat ? 0 : 1;
}

const EngineFunctions& Engine() {
    return binding.functions;
}
std::uint8_t* WorkBlock() {
    return binding.workBlock.get();
}
std::uint8_t* WorkPointer() {
    return binding.workPointer;
}

}  // namespace rolvik
