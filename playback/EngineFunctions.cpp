#include "EngineFunctions.h"

namespace rolvik {
namespace {

template <typename Function>
bool Resolve(const SymbolLookup& lookup, const char* name, Function& entry) {
    void* address = lookup(name);
    if (!address) {
        return false;
    }
    entry = reinterpret_cast<Function>(address);
    return true;
}

}  // namespace

std::optional<EngineFunctions> ResolveEngineFunctions(const SymbolLookup& lookup) {
    EngineFunctions f;
    const bool complete = Resolve(lookup, "MaSound_EmuInitialize", f.MaSound_EmuInitialize) &&
                          Resolve(lookup, "MaSound_Initialize", f.MaSound_Initialize) &&
                          Resolve(lookup, "MaSound_DeviceControl", f.MaSound_DeviceControl) &&
                          Resolve(lookup, "MaSound_Terminate", f.MaSound_Terminate) &&
                          Resolve(lookup, "MaSound_Create", f.MaSound_Create) &&
                          Resolve(lookup, "MaSound_Load", f.MaSound_Load) &&
                          Resolve(lookup, "MaSound_Control", f.MaSound_Control) &&
                          Resolve(lookup, "MaSound_Open", f.MaSound_Open) &&
                          Resolve(lookup, "MaSound_Standby", f.MaSound_Standby) &&
                          Resolve(lookup, "MaSound_Start", f.MaSound_Start) &&
                          Resolve(lookup, "MaSound_GetEmuInfo", f.MaSound_GetEmuInfo) &&
                          Resolve(lookup, "MaSound_Stop", f.MaSound_Stop) &&
                          Resolve(lookup, "MaSound_Seek", f.MaSound_Seek) &&
                          Resolve(lookup, "MaSound_Close", f.MaSound_Close) &&
                          Resolve(lookup, "MaSound_Unload", f.MaSound_Unload) &&
                          Resolve(lookup, "MaSound_Delete", f.MaSound_Delete) &&
                          Resolve(lookup, "MaSound_EmuTerminate", f.MaSound_EmuTerminate) &&
                          Resolve(lookup, "SetMidiMsg", f.SetMidiMsg);
    if (!complete) {
        return std::nullopt;
    }
    return f;
}

}  // namespace rolvik
