#include "Sequencer.h"

#include <algorithm>
#include <limits>

namespace rolvik::synth {
namespace {

constexpr std::int64_t kScaledPerMs = 48 * kWrittenTempo;
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
constexpr std::uint8_t kInitialVelocity = 64;

}  // namespace

void Sequencer::SetSong(const Song* song) {
    song_ = song;
    synthesizer_.SetDrumChannels(song != nullptr ? song->drumChannels : kGeneralMidiDrumChannels);
    playing_ = false;
    Seek(0);
}

void Sequencer::Seek(std::uint32_t positionMs) {
    synthesizer_.Reset();
    pendingNoteOffs_.Clear();
    channelVelocity_.fill(kInitialVelocity);
    nextEvent_ = 0;
    nowScaled_ = static_cast<std::int64_t>(positionMs) * kScaledPerMs;
    if (song_ == nullptr) {
        return;
    }
    while (nextEvent_ < song_->endIndex && EventScaled(song_->events[nextEvent_]) < nowScaled_) {
        PlayEvent(song_->events[nextEvent_++], false);
    }
}

void Sequencer::Stop() {
    playing_ = false;
    pendingNoteOffs_.Clear();
    synthesizer_.ReleaseAll();
}

void Sequencer::SetVolume(int volume) {
    const float level = std::clamp(volume, 0, 127) / 127.0f;
    synthesizer_.SetOutputGain(level * level);
}

std::int64_t Sequencer::EventScaled(const SongEvent& event) const {
    return (static_cast<std::int64_t>(event.timeMs) - song_->startOffsetMs) * kScaledPerMs;
}

void Sequencer::SendNoteOff(std::uint8_t channel, std::uint8_t key) {
    MidiMessage off;
    off.type = MessageType::Channel;
    off.channelBytes = {static_cast<std::uint8_t>(0x90 | channel), key, 0};
    synthesizer_.Apply(off);
}

void Sequencer::PlayEvent(const SongEvent& event, bool sound) {
    if (!event.isNote) {
        if (sound) {
            synthesizer_.Apply(event.message);
        } else {
            synthesizer_.ApplySilently(event.message);
        }
        return;
    }
    if (event.hasVelocity) {
        channelVelocity_[event.channel] = event.velocity;
    }
    if (!sound) {
        return;
    }
    int key = event.key;
    if (!synthesizer_.channel(event.channel).isDrum()) {
        key += keyPitch_;
    }
    if (key < 0 || key > 127) {
        return;
    }
    MidiMessage on;
    on.type = MessageType::Channel;
    on.channelBytes = {static_cast<std::uint8_t>(0x90 | event.channel),
                       static_cast<std::uint8_t>(key), channelVelocity_[event.channel]};
    synthesizer_.Apply(on);
    const auto early = pendingNoteOffs_.Add({event.channel, static_cast<std::uint8_t>(key),
                                             EventScaled(event) + event.gateMs * kScaledPerMs});
    if (early) {
        SendNoteOff(early->channel, early->key);
    }
}

void Sequencer::PlayDueEvents() {
    pendingNoteOffs_.SendDue(
        nowScaled_, [this](const PendingNoteOff& off) { SendNoteOff(off.channel, off.key); });
    while (nextEvent_ < song_->endIndex && EventScaled(song_->events[nextEvent_]) <= nowScaled_) {
        PlayEvent(song_->events[nextEvent_++], true);
    }
}

std::int64_t Sequencer::NextDueScaled() const {
    const std::int64_t next = pendingNoteOffs_.NextDue(kNever);
    if (nextEvent_ < song_->endIndex) {
        return std::min(next, EventScaled(song_->events[nextEvent_]));
    }
    return next;
}

void Sequencer::Render(float* left, float* right, int frames) {
    int done = 0;
    while (done < frames) {
        int block = frames - done;
        if (playing_) {
            PlayDueEvents();
            const std::int64_t due = NextDueScaled();
            if (due != kNever) {
                const std::int64_t framesToDue = (due - nowScaled_ + tempo_ - 1) / tempo_;
                block = static_cast<int>(std::clamp<std::int64_t>(framesToDue, 1, block));
            }
        }
        synthesizer_.Render(left + done, right + done, block);
        if (playing_ && !ended()) {
            nowScaled_ += static_cast<std::int64_t>(block) * tempo_;
        }
        done += block;
    }
}

std::uint32_t Sequencer::positionMs() const {
    return static_cast<std::uint32_t>(std::max<std::int64_t>(0, nowScaled_ / kScaledPerMs));
}

bool Sequencer::ended() const {
    return song_ == nullptr || (nextEvent_ >= song_->endIndex && pendingNoteOffs_.empty());
}

int Sequencer::DeviceInfo() const {
    if (song_ == nullptr) {
        return 0;
    }
    const std::uint16_t held = synthesizer_.HeldChannels();
    int info = 0;
    if ((held & song_->ledChannels) != 0) {
        info |= 1;
    }
    if ((held & song_->vibrationChannels) != 0) {
        info |= 2;
    }
    return info;
}

}  // namespace rolvik::synth
