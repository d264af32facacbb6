#pragma once

#include "core/Event.h"
#include "core/Smaf.h"
#include "playback/EngineSession.h"

namespace rolvik {

// The bank and program a track plays with, as found in the document, and the exclusive that
// defines that voice (null when there is none or it is not needed).
struct TrackVoice {
    int bankMsb = -1;  // -1: no bank select or program change on the track
    int bankLsb = -1;
    int program = -1;
    const Event* voiceDefinition = nullptr;
};

// The channel and note of the last note the preview sounded.
struct PreviewedNote {
    int channel = 0;
    int note = 0;
};

// Scans the channel's bank selects and program change (stopping once all three are known) and,
// when all three are there, the exclusive that defines that voice.
TrackVoice FindTrackVoice(const Smaf& document, int channel);

// Sounds the key on the visible track (All plays on channel 0) with the bank and program the
// track uses; without a bank select the melody bank, or with Shift the drum bank, and without a
// program `currentInstrument`. Each refused message is reported and ends the sequence.
void SoundPreviewNote(EngineSession& engine, const Smaf* document, int visibleTrack, int key,
                      bool shiftHeld, int currentInstrument, PreviewedNote& previewed);

// Turns the previewed note off again.
void StopPreviewNote(const EngineSession& engine, const PreviewedNote& previewed);

}  // namespace rolvik
