#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "EngineFunctions.h"
#include "core/Bytes.h"

namespace rolvik {

inline constexpr std::int32_t kEngineModeMidi = 0;
inline constexpr std::int32_t kEngineModeSequencer = 2;
inline constexpr std::size_t kWorkBlockSize = 1024;

// The loaded engine library: its handle, its function table and the work memory it runs in. The
// library is released with the binding.
class EmulatorBinding {
  public:
    EmulatorBinding() = default;
    EmulatorBinding(const EmulatorBinding&) = delete;
    EmulatorBinding& operator=(const EmulatorBinding&) = delete;
    ~EmulatorBinding() { ReleaseEmulator(); }

    // Loads the engine library (ROLVIK_ENGINE, else beside the executable, else the system's
    // search), resolves its exports and starts it in MIDI use. 1 on success; 0 after a message, or
    // without one when an export is missing.
    int LoadEmulator();

    // Stops the engine, frees the work block and unloads the library.
    void ReleaseEmulator();

    // The engine's device set-up commands; 1 on success, 0 after the failing command's message.
    int DeviceSetup() const;

    // The one path of MIDI messages to the engine; 0 when the engine accepted the message.
    int EmuSetMidiMsg(Bytes message) const;

    // The function table of the loaded library.
    const EngineFunctions& Engine() const { return functions_; }

    // The engine's work memory: the block, and the address inside it that the engine works from.
    std::uint8_t* WorkBlock() const { return workBlock_.get(); }
    std::uint8_t* WorkPointer() const { return workPointer_; }

  private:
    void* library_ = nullptr;
    EngineFunctions functions_;
    std::unique_ptr<std::uint8_t[]> workBlock_;
    std::uint8_t* workPointer_ = nullptr;
};

// The first address of a block whose lowest 8 bits are 0x81: the block itself or up to 255 bytes
// on.
std::uint8_t* WorkPointerOf(std::uint8_t* block);

}  // namespace rolvik
