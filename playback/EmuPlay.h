#pragma once

#include <cstdint>

#include "core/Smaf.h"

namespace rolvik {

// EmuPlay: the engine's own sequencer plays the document's SMAF bytes (fileData). Positions are ms
// from the beginning of the sequence, which lies at the document's start offset.

// Moves the engine into sequencer use and starts playing at the position, with the current volume,
// key pitch, tempo and repeat. 1 when playing; 0 after a message, the engine left where the failing
// step left it (EmuSMAFStop brings it back).
int EmuSMAFPlay(const Smaf* smaf, std::int32_t positionMs);

// Stops the sequencer and returns the engine to MIDI use. Harmless after a failed start.
void EmuSMAFStop();

// Bit 0 while the emulated LED is lit, bit 1 while the emulated vibrator runs.
int EmuDeviceInfo();

// The sequencer's status (4 playing, 3 ended), its position in ms, and a move to another position
// (1 when it plays on from there; 0 leaves it stopped).
int EmuPlayStatus();
int EmuPlayPosition();
int EmuPlaySeek(std::int32_t positionMs);

}  // namespace rolvik
