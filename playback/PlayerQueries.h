#pragma once

#include <cstdint>

namespace rolvik {

// The questions the shell asks of whichever player runs.

inline constexpr int kPlayerReady = 3;  // the music has ended
inline constexpr int kPlayerPlaying = 4;

// EmuPlay's status from the engine; MidiPlay's is 4 while events remain to be sent and 3 after the
// last; -1 when neither player runs.
int PlayerStatus();

// EmuPlay's position (ms from the start offset); MidiPlay's time (absolute ms); -1 when idle.
int PlayerPosition();

// Moves the running player to a position in ms from the start offset: EmuPlay through the
// sequencer, MidiPlay by starting again from there. 1 on success, 0 otherwise (also when idle).
int PlayerSeek(std::int32_t positionMs);

}  // namespace rolvik
