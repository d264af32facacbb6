#pragma once

#include <cstddef>
#include <cstdint>

#include "EngineFunctions.h"
#include "core/Bytes.h"

namespace rolvik {

inline constexpr std::int32_t kEngineModeMidi = 0;
inline constexpr std::int32_t kEngineModeSequencer = 2;
inline constexpr std::size_t kWorkBlockSize = 1024;

// Which player uses the engine: emuActive while its sequencer plays compiled SMAF bytes, midiActive
// while MidiPlay sends the event list. Never both.
extern int emuActive;
extern int midiActive;

// Loads the engine library (ROLVIK_ENGINE, else beside the executable, else the system's search),
// resolves its exports and starts it in MIDI use. 1 on success; 0 after a message, or without one
// when an export is missing.
int LoadEmulator();

// Stops the engine, frees the work block and unloads the library.
void ReleaseEmulator();

// The engine's device set-up commands; 1 on success, 0 after the failing command's message.
int DeviceSetup();

// The one path of MIDI messages to the engine; 0 when the engine accepted the message.
int EmuSetMidiMsg(Bytes message);

// Sends the master-volume exclusive with the current volume; 1, or 0 after a message.
int EmuMIDISetVolume();

// The playback controls. They store the value and pass it to the player that runs; 1 when the
// engine refused it, else 0.
int SetVolume(int volume);
int SetTempo(int tempo);
int SetKeyPitch(int keyPitch);
int GetVolume();
int GetTempo();
int GetKeyPitch();

// Repeat: both players go back from the song's stop point to its start point and play on until
// stopped. It takes effect at once, in the player that runs too.
void SetRepeat(bool repeat);
bool GetRepeat();
// What the engine's start takes for it: 0 loops for ever, 1 plays once.
std::int32_t RepeatLoops();

// The function table of the loaded library.
const EngineFunctions& Engine();

// The engine's work memory: the block, and the address inside it that the engine works from.
std::uint8_t* WorkBlock();
std::uint8_t* WorkPointer();

// The first address of a block whose lowest 8 bits are 0x81: the block itself or up to 255 bytes
// on.
std::uint8_t* WorkPointerOf(std::uint8_t* block);

}  // namespace rolvik
