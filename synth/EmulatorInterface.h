#pragma once

// The function table of the sound engine library: 18 exports with C linkage, loaded at run time by
// name. Our own synthesiser engine implements them; the playback binding calls them. All arguments
// and results are 32-bit integers or pointers.
//
// Results: 0 is success, except MaSound_Create and MaSound_Load, whose success is 1.

#include <cstdint>

#define ROLVIK_ENGINE_FILE_NAME "librolvik-engine.so"

namespace rolvik {
// The one rate the engine renders at and its outputs play at, in frames a second.
inline constexpr std::int32_t kOutputSampleRateHz = 48000;
}  // namespace rolvik

extern "C" {

// sampleRate is kOutputSampleRateHz; mode 0 for MIDI use, 2 before sequencer use; work points into
// a 1024-byte block owned by the caller.
using MaSound_EmuInitialize_t = std::int32_t (*)(std::int32_t sampleRate, std::int32_t mode,
                                                 void* work);
using MaSound_Initialize_t = std::int32_t (*)(std::int32_t zero, void* workBlock,
                                              std::int32_t zero2);
using MaSound_DeviceControl_t = std::int32_t (*)(std::int32_t command, std::int32_t p1,
                                                 std::int32_t p2, std::int32_t p3);
using MaSound_Terminate_t = std::int32_t (*)();
using MaSound_Create_t = std::int32_t (*)(std::int32_t sequenceType);
using MaSound_Load_t = std::int32_t (*)(std::int32_t sound, const std::uint8_t* smaf,
                                        std::int32_t size, std::int32_t mode, void* callback,
                                        void* extension);
// control: 0 volume, 1 tempo, 2 key pitch (value by pointer); 4 play position in ms; 6 status
// (3 ready, 4 playing).
using MaSound_Control_t = std::int32_t (*)(std::int32_t sound, std::int32_t slot,
                                           std::int32_t control, std::int32_t* value,
                                           std::int32_t extension);
using MaSound_Open_t = std::int32_t (*)(std::int32_t sound, std::int32_t slot, std::int32_t p2,
                                        std::int32_t p3);
using MaSound_Standby_t = std::int32_t (*)(std::int32_t sound, std::int32_t slot, std::int32_t p2);
using MaSound_Start_t = std::int32_t (*)(std::int32_t sound, std::int32_t slot, std::int32_t loops,
                                         std::int32_t p3);
// info 4: bit 0 while an LED channel sounds, bit 1 while a vibration channel sounds.
using MaSound_GetEmuInfo_t = std::int32_t (*)(std::int32_t info);
using MaSound_Stop_t = std::int32_t (*)(std::int32_t sound, std::int32_t slot, std::int32_t p2);
using MaSound_Seek_t = std::int32_t (*)(std::int32_t sound, std::int32_t slot,
                                        std::int32_t positionMs, std::int32_t p3, std::int32_t p4);
using MaSound_Close_t = std::int32_t (*)(std::int32_t sound, std::int32_t slot, std::int32_t p2);
using MaSound_Unload_t = std::int32_t (*)(std::int32_t sound, std::int32_t slot, std::int32_t p2);
using MaSound_Delete_t = std::int32_t (*)(std::int32_t sound);
using MaSound_EmuTerminate_t = std::int32_t (*)();
// One whole message: a channel message of 2 or 3 bytes or an exclusive from F0 to F7.
using SetMidiMsg_t = std::int32_t (*)(const std::uint8_t* message, std::int32_t size);

}  // extern "C"
