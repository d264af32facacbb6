#pragma once

#include <cstdint>

#include "EmulatorBinding.h"
#include "EngineControls.h"
#include "core/Smaf.h"

namespace rolvik {

// The sequencer controls that EmuPlay passes on while it runs.
inline constexpr std::int32_t kControlVolume = 0;
inline constexpr std::int32_t kControlTempo = 1;
inline constexpr std::int32_t kControlKeyPitch = 2;

// EmuPlay: the engine's own sequencer plays the document's SMAF bytes (fileData). Positions are ms
// from the beginning of the sequence, which lies at the document's start offset.
class EmuPlayback {
  public:
    EmuPlayback(const EmulatorBinding& binding, const EngineControls& controls)
        : binding_(binding), controls_(controls) {}

    // Moves the engine into sequencer use and starts playing at the position, with the current
    // volume, key pitch, tempo and repeat. 1 when playing; 0 after a message, the engine left where
    // the failing step left it (EmuSMAFStop brings it back).
    int EmuSMAFPlay(const Smaf* smaf, std::int32_t positionMs) const;

    // Stops the sequencer and returns the engine to MIDI use. Harmless after a failed start.
    void EmuSMAFStop() const;

    // Bit 0 while the emulated LED is lit, bit 1 while the emulated vibrator runs.
    int EmuDeviceInfo() const;

    // The sequencer's status (4 playing, 3 ended), its position in ms, and a move to another
    // position (1 when it plays on from there; 0 leaves it stopped).
    int EmuPlayStatus() const;
    int EmuPlayPosition() const;
    int EmuPlaySeek(std::int32_t positionMs) const;

    // Passes a control's new value to the playing sequencer; false when it refused it.
    bool EmuPlayControl(std::int32_t control, int value) const;

    // Starts the sequencer again where it stands, with the current repeat.
    void EmuPlayRestart() const;

  private:
    int StartSequencer(const Smaf& smaf, std::int32_t positionMs) const;

    const EmulatorBinding& binding_;
    const EngineControls& controls_;
};

}  // namespace rolvik
