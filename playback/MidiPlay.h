#pragma once

#include <cstdint>

#include "MidiPlayback.h"

namespace rolvik {

// The program's one MidiPlay, running against the process's tick count, under the names the shell
// and the command-line tool call. Each function does what the MidiPlayback member of that meaning
// does.

MidiPlayback& TheMidiPlayback();

const MidiPlayState& MidiPlayer();

int EmuMIDIPlay(Smaf* smaf, std::int32_t positionMs);
int DoEvent(const Event& event, int sound);
int EmuMIDIProc();
int EmuMIDIStop();
int EmuDeleteAllNoteoff();
void SetTrackFilter(int channel);
void EmuMIDIEventRemoving(const Event& event);

}  // namespace rolvik
