#include "PlaybackController.h"

#include <algorithm>
#include <utility>

#include "EmuPlay.h"
#include "EmulatorBinding.h"
#include "MidiPlay.h"
#include "PlayerQueries.h"
#include "PresetVoices.h"

namespace rolvik {

PlaybackController::PlaybackController(TickSource clock) : clock_(std::move(clock)) {}

bool PlaybackController::Start(PlayState player, Smaf& document) {
    startOffsetMs_ = document.StartOffset();
    const std::uint32_t from = std::max(positionMs_, startOffsetMs_);
    const auto relative = static_cast<std::int32_t>(from - startOffsetMs_);
    const int started = player == PlayState::EmuPlay ? EmuSMAFPlay(&document, relative)
                                                     : EmuMIDIPlay(&document, relative);
    state_ = player;
    if (!started) {
        Stop();
        return false;
    }
    return true;
}

void PlaybackController::SetRepeat(bool repeat) {
    rolvik::SetRepeat(repeat);
}

bool PlaybackController::repeat() const {
    return GetRepeat();
}

PlayState PlaybackController::Stop() {
    if (state_ == PlayState::EmuPlay) {
        EmuSMAFStop();
        PresetVoices();
    } else if (state_ == PlayState::MidiPlay) {
        EmuMIDIStop();
    }
    return std::exchange(state_, PlayState::Idle);
}

bool PlaybackController::Seek(std::uint32_t positionMs) {
    positionMs_ = positionMs;
    return !playing() || PlayerSeek(static_cast<std::int32_t>(positionMs - startOffsetMs_)) != 0;
}

void PlaybackController::Process() {
    if (state_ == PlayState::MidiPlay) {
        EmuMIDIProc();
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
    return state_ == PlayState::EmuPlay ? EmuDeviceInfo() : 0;
}

void PlaybackController::EventRemoving(const Event& event) {
    if (state_ == PlayState::MidiPlay) {
        EmuMIDIEventRemoving(event);
    }
}

}  // namespace rolvik
