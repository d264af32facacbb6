#include "PlayerQueries.h"

#include "EmuPlay.h"
#include "EmulatorBinding.h"
#include "MidiPlay.h"

namespace rolvik {

int PlayerStatus() {
    if (emuActive) {
        return EmuPlayStatus();
    }
    if (midiActive) {
        return MidiPlayer().nextEvent ? kPlayerPlaying : kPlayerReady;
    }
    return -1;
}

int PlayerPosition() {
    if (emuActive) {
        return EmuPlayPosition();
    }
    if (midiActive) {
        return static_cast<int>(TheMidiPlayback().TimeMs());
    }
    return -1;
}

int PlayerSeek(std::int32_t positionMs) {
    if (emuActive) {
        return EmuPlaySeek(positionMs);
    }
    if (midiActive) {
        Smaf* document = MidiPlayer().midiDocument;
        EmuMIDIStop();
        return EmuMIDIPlay(document, positionMs);
    }
    return 0;
}

}  // namespace rolvik
