#pragma once

#include <cstdint>

namespace rolvik {

// The playback controls the players read: volume 0..127, tempo 70..130 (100 plays as written, used
// by EmuPlay only), key pitch in semitones -12..12, and repeat (both players go back from the
// song's stop point to its start point until stopped). The callers keep to the ranges.
struct EngineControls {
    int volume = 127;
    int tempo = 100;
    int keyPitch = 0;
    bool repeat = false;

    // What the engine's start takes for repeat: 0 loops for ever, 1 plays once.
    std::int32_t RepeatLoops() const { return repeat ? 0 : 1; }
};

}  // namespace rolvik
