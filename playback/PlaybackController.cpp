#include "PlaybackController.h"

#include <algorithm>
#include <utility>

#include "core/SmafExclusive.h"

namespace rolvik {

bool PlaybackController::Start(PlayState player, Smaf& document) {
    startOffsetMs_ = document.StartOffset();
    const std::uint32_t from = std::max(positionMs_, startOffsetMs_);
    const auto relative = static_cast<std::int32_t>(from - startOffsetMs_);
    const int started = player == PlayState::EmuPlay
                            ? engine_.emu().EmuSMAFPlay(&document, relative)
                            : engine_.midi().EmuMIDIPlay(&document, relative);
    state_ = player;
    midiLost_ = false;
    if (!started) {
        Stop();
        return false;
    }
    return true;
}

int PlaybackController::SetVolume(int volume) {
    engine_.controls().volume = volume;
    if (state_ == PlayState::EmuPlay) {
        return engine_.emu().EmuPlayControl(kControlVolume, volume) ? 0 : 1;
    }
    if (state_ == PlayState::MidiPlay && !midiLost_) {
        return engine_.EmuSetMidiMsg(MasterVolumeMessage(volume)) != 0 ? 1 : 0;
    }
    return 0;
}

int PlaybackController::SetTempo(int tempo) {
    engine_.controls().tempo = tempo;
    const bool refused =
        state_ == PlayState::EmuPlay && !engine_.emu().EmuPlayControl(kControlTempo, tempo);
    return refused ? 1 : 0;
}

int PlaybackController::SetKeyPitch(int keyPitch) {
    engine_.controls().keyPitch = keyPitch;
    const bool refused =
        state_ == PlayState::EmuPlay && !engine_.emu().EmuPlayControl(kControlKeyPitch, keyPitch);
    return refused ? 1 : 0;
}

void PlaybackController::SetRepeat(bool repeat) {
    engine_.controls().repeat = repeat;
    if (state_ == PlayState::EmuPlay) {
        engine_.emu().EmuPlayRestart();
    }
}

PlayState PlaybackController::Stop() {
    if (state_ == PlayState::EmuPlay) {
        engine_.emu().EmuSMAFStop();
        engine_.PresetVoices();
    } else if (state_ == PlayState::MidiPlay) {
        engine_.midi().EmuMIDIStop();
    }
    midiLost_ = false;
    return std::exchange(state_, PlayState::Idle);
}

bool PlaybackController::Seek(std::uint32_t positionMs) {
    positionMs_ = positionMs;
    return !playing() || PlayerSeek(static_cast<std::int32_t>(positionMs - startOffsetMs_)) != 0;
}

void PlaybackController::Process() {
    if (state_ == PlayState::MidiPlay && !midiLost_) {
        engine_.midi().EmuMIDIProc();
    }
}

// EmuPlay counts from the start offset, MidiPlay from the song's beginning.
void PlaybackController::ReadPosition() {
    const int position = playing() ? PlayerPosition() : -1;
    if (position < 0) {
        return;
    }
    positionMs_ = static_cast<std::uint32_t>(position);
    if (state_ == PlayState::EmuPlay) {
        positionMs_ += startOffsetMs_;
    }
}

PlayStatus PlaybackController::Status() const {
    switch (PlayerStatus()) {
        case kPlayerPlaying:
            return PlayStatus::Playing;
        case kPlayerReady:
            return PlayStatus::Ended;
        default:
            return PlayStatus::Failed;
    }
}

int PlaybackController::DeviceInfo() const {
    return state_ == PlayState::EmuPlay ? engine_.emu().EmuDeviceInfo() : 0;
}

void PlaybackController::EventRemoving(const Event& event) {
    if (state_ == PlayState::MidiPlay) {
        engine_.midi().EmuMIDIEventRemoving(event);
    }
}

int PlaybackController::PlayerStatus() const {
    if (state_ == PlayState::EmuPlay) {
        return engine_.emu().EmuPlayStatus();
    }
    if (state_ == PlayState::MidiPlay && !midiLost_) {
        return engine_.midi().MidiPlayer().nextEvent ? kPlayerPlaying : kPlayerReady;
    }
    return -1;
}

int PlaybackController::PlayerPosition() const {
    if (state_ == PlayState::EmuPlay) {
        return engine_.emu().EmuPlayPosition();
    }
    if (state_ == PlayState::MidiPlay && !midiLost_) {
        return static_cast<int>(engine_.midi().TimeMs());
    }
    return -1;
}

int PlaybackController::PlayerSeek(std::int32_t positionMs) {
    if (state_ == PlayState::EmuPlay) {
        return engine_.emu().EmuPlaySeek(positionMs);
    }
    if (state_ == PlayState::MidiPlay && !midiLost_) {
        MidiPlayback& midi = engine_.midi();
        Smaf* document = midi.MidiPlayer().midiDocument;
        midi.EmuMIDIStop();
        const int started = midi.EmuMIDIPlay(document, positionMs);
        midiLost_ = started == 0;
        return started;
    }
    return 0;
}

}  // namespace rolvik
