#pragma once

#include <functional>
#include <optional>

#include "synth/EmulatorInterface.h"

namespace rolvik {

// The engine library's function table, one entry per export.
struct EngineFunctions {
    MaSound_EmuInitialize_t MaSound_EmuInitialize = nullptr;
    MaSound_Initialize_t MaSound_Initialize = nullptr;
    MaSound_DeviceControl_t MaSound_DeviceControl = nullptr;
    MaSound_Terminate_t MaSound_Terminate = nullptr;
    MaSound_Create_t MaSound_Create = nullptr;
    MaSound_Load_t MaSound_Load = nullptr;
    MaSound_Control_t MaSound_Control = nullptr;
    MaSound_Open_t MaSound_Open = nullptr;
    MaSound_Standby_t MaSound_Standby = nullptr;
    MaSound_Start_t MaSound_Start = nullptr;
    MaSound_GetEmuInfo_t MaSound_GetEmuInfo = nullptr;
    MaSound_Stop_t MaSound_Stop = nullptr;
    MaSound_Seek_t MaSound_Seek = nullptr;
    MaSound_Close_t MaSound_Close = nullptr;
    MaSound_Unload_t MaSound_Unload = nullptr;
    MaSound_Delete_t MaSound_Delete = nullptr;
    MaSound_EmuTerminate_t MaSound_EmuTerminate = nullptr;
    SetMidiMsg_t SetMidiMsg = nullptr;
};

// Finds an export by name; null when the library has none of that name.
using SymbolLookup = std::function<void*(const char* name)>;

// Looks the exports up in the order of the table above and stops at the first that is missing.
std::optional<EngineFunctions> ResolveEngineFunctions(const SymbolLookup& lookup);

}  // namespace rolvik
