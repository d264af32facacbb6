// The 18 functions of the engine library, with C linkage, over the one engine of the process.

#include "EmulatorInterface.h"
#include "Engine.h"

namespace {

rolvik::synth::Engine& TheEngine() {
    static rolvik::synth::Engine engine;
    return engine;
}

}  // namespace

extern "C" {

std::int32_t MaSound_EmuInitialize(std::int32_t sampleRate, std::int32_t mode, void*) {
    return TheEngine().EmuInitialize(sampleRate, mode);
}

std::int32_t MaSound_Initialize(std::int32_t, void*, std::int32_t) {
    return 0;
}

std::int32_t MaSound_DeviceControl(std::int32_t command, std::int32_t, std::int32_t, std::int32_t) {
    return TheEngine().DeviceControl(command);
}

std::int32_t MaSound_Terminate() {
    return 0;
}

std::int32_t MaSound_Create(std::int32_t sequenceType) {
    return TheEngine().Create(sequenceType);
}

std::int32_t MaSound_Load(std::int32_t sound, const std::uint8_t* smaf, std::int32_t size,
                          std::int32_t, void*, void*) {
    return TheEngine().Load(sound, smaf, size);
}

std::int32_t MaSound_Control(std::int32_t sound, std::int32_t, std::int32_t control,
                             std::int32_t* value, std::int32_t) {
    return TheEngine().Control(sound, control, value);
}

std::int32_t MaSound_Open(std::int32_t sound, std::int32_t, std::int32_t, std::int32_t) {
    return TheEngine().Open(sound);
}

std::int32_t MaSound_Standby(std::int32_t sound, std::int32_t, std::int32_t) {
    return TheEngine().Standby(sound);
}

std::int32_t MaSound_Start(std::int32_t sound, std::int32_t, std::int32_t loops, std::int32_t) {
    return TheEngine().Start(sound, loops);
}

std::int32_t MaSound_GetEmuInfo(std::int32_t info) {
    return TheEngine().EmuInfo(info);
}

std::int32_t MaSound_Stop(std::int32_t sound, std::int32_t, std::int32_t) {
    TheEngine().Stop(sound);
    return 0;
}

std::int32_t MaSound_Seek(std::int32_t sound, std::int32_t, std::int32_t positionMs, std::int32_t,
                          std::int32_t) {
    return TheEngine().Seek(sound, positionMs);
}

std::int32_t MaSound_Close(std::int32_t sound, std::int32_t, std::int32_t) {
    TheEngine().Close(sound);
    return 0;
}

std::int32_t MaSound_Unload(std::int32_t sound, std::int32_t, std::int32_t) {
    TheEngine().Unload(sound);
    return 0;
}

std::int32_t MaSound_Delete(std::int32_t sound) {
    TheEngine().Delete(sound);
    return 0;
}

std::int32_t MaSound_EmuTerminate() {
    TheEngine().EmuTerminate();
    return 0;
}

std::int32_t SetMidiMsg(const std::uint8_t* message, std::int32_t size) {
    return TheEngine().SetMidiMsg(message, size);
}

}  // extern "C"
