#include "MidiPlay.h"

namespace rolvik {

MidiPlayback& TheMidiPlayback() {
    static MidiPlayback playback([] { return TickCount(); });
    return playback;
}

const MidiPlayState& MidiPlayer() {
    return TheMidiPlayback().state();
}

int EmuMIDIPlay(Smaf* smaf, std::int32_t positionMs) {
    return TheMidiPlayback().Play(smaf, positionMs);
}

int DoEvent(const Event& event, int sound) {
    return TheMidiPlayback().DoEvent(event, sound);
}

int EmuMIDIProc() {
    return TheMidiPlayback().Proc();
}

int EmuMIDIStop() {
    return TheMidiPlayback().Stop();
}

int EmuDeleteAllNoteoff() {
    return TheMidiPlayback().DeleteAllNoteoff();
}

void SetTrackFilter(int channel) {
    TheMidiPlayback().SetTrackFilter(channel);
}

void EmuMIDIEventRemoving(const Event& event) {
    TheMidiPlayback().EventRemoving(event);
}

}  // namespace rolvik
