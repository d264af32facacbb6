// The sequencer exports of the fake engine library. SetMidiMsg lives in its own file so that a
// variant of the library can leave it out.

#include <cstdint>
#include <type_traits>

#include "FakeEngine.h"
#include "synth/EmulatorInterface.h"

using rolvik::fake::EngineCall;
using rolvik::fake::TheFakeEngine;

namespace {

std::int64_t Address(const void* pointer) {
    return static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(pointer));
}

std::int32_t Record(const char* name, std::vector<std::int64_t> args,
                    std::int32_t defaultResult = 0) {
    return TheFakeEngine().Call(EngineCall{name, std::move(args), std::nullopt, {}}, defaultResult);
}

}  // namespace

extern "C" {

std::int32_t MaSound_EmuInitialize(std::int32_t sampleRate, std::int32_t mode, void* work) {
    return Record("MaSound_EmuInitialize", {sampleRate, mode, Address(work)});
}

std::int32_t MaSound_Initialize(std::int32_t zero, void* workBlock, std::int32_t zero2) {
    return Record("MaSound_Initialize", {zero, Address(workBlock), zero2});
}

std::int32_t MaSound_DeviceControl(std::int32_t command, std::int32_t p1, std::int32_t p2,
                                   std::int32_t p3) {
    return Record("MaSound_DeviceControl", {command, p1, p2, p3});
}

std::int32_t MaSound_Terminate() {
    return Record("MaSound_Terminate", {});
}

std::int32_t MaSound_Create(std::int32_t sequenceType) {
    return Record("MaSound_Create", {sequenceType}, 1);
}

std::int32_t MaSound_Load(std::int32_t sound, const std::uint8_t* smaf, std::int32_t size,
                          std::int32_t mode, void* callback, void* extension) {
    EngineCall call{"MaSound_Load",
                    {sound, size, mode, Address(callback), Address(extension)},
                    std::nullopt,
                    rolvik::ByteVector(smaf, smaf + size)};
    return TheFakeEngine().Call(std::move(call), 1);
}

std::int32_t MaSound_Control(std::int32_t sound, std::int32_t slot, std::int32_t control,
                             std::int32_t* value, std::int32_t extension) {
    auto& engine = TheFakeEngine();
    std::int32_t defaultResult = 0;
    if (control == 4) {
        defaultResult = engine.positionMs;
    } else if (control == 6) {
        defaultResult = engine.status;
    }
    EngineCall call{"MaSound_Control", {sound, slot, control, Address(value), extension}, {}, {}};
    if (value) {
        call.pointedValue = *value;
    }
    return engine.Call(std::move(call), defaultResult);
}

std::int32_t MaSound_Open(std::int32_t sound, std::int32_t slot, std::int32_t p2, std::int32_t p3) {
    return Record("MaSound_Open", {sound, slot, p2, p3});
}

std::int32_t MaSound_Standby(std::int32_t sound, std::int32_t slot, std::int32_t p2) {
    return Record("MaSound_Standby", {sound, slot, p2});
}

std::int32_t MaSound_Start(std::int32_t sound, std::int32_t slot, std::int32_t loops,
                           std::int32_t p3) {
    return Record("MaSound_Start", {sound, slot, loops, p3});
}

std::int32_t MaSound_GetEmuInfo(std::int32_t info) {
    return Record("MaSound_GetEmuInfo", {info}, TheFakeEngine().emuInfo);
}

std::int32_t MaSound_Stop(std::int32_t sound, std::int32_t slot, std::int32_t p2) {
    return Record("MaSound_Stop", {sound, slot, p2});
}

std::int32_t MaSound_Seek(std::int32_t sound, std::int32_t slot, std::int32_t positionMs,
                          std::int32_t p3, std::int32_t p4) {
    return Record("MaSound_Seek", {sound, slot, positionMs, p3, p4});
}

std::int32_t MaSound_Close(std::int32_t sound, std::int32_t slot, std::int32_t p2) {
    return Record("MaSound_Close", {sound, slot, p2});
}

std::int32_t MaSound_Unload(std::int32_t sound, std::int32_t slot, std::int32_t p2) {
    return Record("MaSound_Unload", {sound, slot, p2});
}

std::int32_t MaSound_Delete(std::int32_t sound) {
    return Record("MaSound_Delete", {sound});
}

std::int32_t MaSound_EmuTerminate() {
    return Record("MaSound_EmuTerminate", {});
}

}  // extern "C"

// The exports must match the function table's types exactly.
static_assert(std::is_same_v<decltype(&MaSound_Control), MaSound_Control_t>);
static_assert(std::is_same_v<decltype(&MaSound_Load), MaSound_Load_t>);
