#include "Sequencer.h"

#include <algorithm>
#include <limits>

namespace rolvik::synth {
namespace {

constexpr std::int64_t kScaledPerMs = 48 * kWrittenTempo;
constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

}  // namespace

void Sequencer::SetSong(const Song* song) {
    song_ = song;
    synthesizer_.SetDrumChannels(song != nullptr ? song->drumChannels : kGeneralMidiDrumChannels);
    synthesizer_.SetSongWaves(song != nullptr ? &song->waves : nullptr);
    playing_ = false;
    Seek(0);
}

void Sequencer::Seek(std::uint32_t positionMs) {
    SeekScaled(static_cast<std::int64_t>(positionMs) * kScaledPerMs);
}

void Sequencer::SeekToFirstEvent() {
    std::int64_t first = 0;
    if (song_ != nullptr && song_->endIndex > 0) {
        first = std::min<std::int64_t>(0, EventScaled(song_->events.front()));
    }
    SeekScaled(first);
}

void Sequencer::SeekScaled(std::int64_t positionScaled) {
    synthesizer_.Reset();
    pendingNoteOffs_.Clear();
    nextEvent_ = 0;
    nextAudioEvent_ = 0;
    loopsDone_ = 0;
    loopStartControls_.reset();
    nowScaled_ = positionScaled;
    if (song_ == nullptr) {
        return;
    }
    loopStartEvent_ = 0;
    while (loopStartEvent_ < song_->endIndex && EventScaled(song_->events[loopStartEvent_]) < 0) {
        ++loopStartEvent_;
    }
    loopStartAudioEvent_ = 0;
    while (loopStartAudioEvent_ < song_->audioEvents.size() &&
           AudioEventScaled(song_->audioEvents[loopStartAudioEvent_]) < 0) {
        ++loopStartAudioEvent_;
    }
    channelVelocity_.fill(song_->initialVelocity);
    while (nextEvent_ < song_->endIndex && EventScaled(song_->events[nextEvent_]) < nowScaled_) {
        PlayEvent(song_->events[nextEvent_++], false);
    }
    const auto& audio = song_->audioEvents;
    while (nextAudioEvent_ < audio.size() &&
           AudioEventScaled(audio[nextAudioEvent_]) < nowScaled_) {
        const SongAudioEvent& event = audio[nextAudioEvent_++];
        if (event.event.kind != AudioEvent::Kind::Trigger) {
            PlayAudioEvent(event, 0);
        }
    }
    resumePending_ = nextAudioEvent_ > 0;
}

void Sequencer::ResumeRecordings() {
    resumePending_ = false;
    for (std::size_t i = 0; i < nextAudioEvent_; ++i) {
        const SongAudioEvent& event = song_->audioEvents[i];
        if (event.event.kind != AudioEvent::Kind::Trigger) {
            continue;
        }
        const std::int64_t sinceScaled = nowScaled_ - AudioEventScaled(event);
        if (sinceScaled < static_cast<std::int64_t>(event.event.gateMs) * kScaledPerMs) {
            const std::int64_t sinceMs = sinceScaled / kScaledPerMs;
            PlayAudioEvent(event, static_cast<std::uint32_t>(sinceMs * event.wave->rateHz / 1000));
        }
    }
}

void Sequencer::Stop() {
    playing_ = false;
    pendingNoteOffs_.Clear();
    synthesizer_.DampAll();
}

void Sequencer::Finish() {
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

std::int64_t Sequencer::AudioEventScaled(const SongAudioEvent& event) const {
    return (static_cast<std::int64_t>(event.timeMs) - song_->startOffsetMs) * kScaledPerMs;
}

void Sequencer::SendNoteOff(const PendingNoteOff& pending) {
    if (pending.recording) {
        synthesizer_.StopRecording(pending.channel, pending.key);
        return;
    }
    MidiMessage off;
    off.type = MessageType::Channel;
    off.channelBytes = {static_cast<std::uint8_t>(0x90 | pending.channel), pending.key, 0};
    synthesizer_.Apply(off);
}

void Sequencer::PlayAudioEvent(const SongAudioEvent& event, std::uint32_t startFrame) {
    const AudioEvent& audio = event.event;
    if (audio.kind != AudioEvent::Kind::Trigger) {
        synthesizer_.SetAudioControl(audio.channel, audio.kind, audio.value);
        return;
    }
    synthesizer_.PlayRecording(audio.channel, audio.wave, *event.wave, startFrame);
    const auto early = pendingNoteOffs_.Add(
        {audio.channel, audio.wave, AudioEventScaled(event) + audio.gateMs * kScaledPerMs, true});
    if (early) {
        SendNoteOff(*early);
    }
}

void Sequencer::PlayEvent(const SongEvent& event, bool sound) {
    if (!event.isNote) {
        if (sound) {
            synthesizer_.Apply(song_->Message(event));
        } else {
            synthesizer_.ApplySilently(song_->Message(event));
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
        SendNoteOff(*early);
    }
}

std::int64_t Sequencer::LoopEndScaled() const {
    return static_cast<std::int64_t>(SongLengthMs(*song_)) * kScaledPerMs;
}

bool Sequencer::CanLoop() const {
    return looping_ && loopStartControls_ && LoopEndScaled() > 0;
}

// Song time goes back by the loop's length: the notes and recordings that sound keep their
// place in real time, so their ends move with it.
void Sequencer::ReturnToLoopStart() {
    const std::int64_t loopScaled = LoopEndScaled();
    nowScaled_ -= loopScaled;
    pendingNoteOffs_.Shift(-loopScaled);
    nextEvent_ = loopStartEvent_;
    nextAudioEvent_ = loopStartAudioEvent_;
    synthesizer_.RestoreControls(*loopStartControls_);
    ++loopsDone_;
}

void Sequencer::PlayDueEvents() {
    if (!loopStartControls_ && nowScaled_ >= 0 && nextEvent_ <= loopStartEvent_) {
        loopStartControls_ = synthesizer_.SaveControls();
    }
    pendingNoteOffs_.SendDue(nowScaled_, [this](const PendingNoteOff& off) { SendNoteOff(off); });
    if (resumePending_) {
        ResumeRecordings();
    }
    while (nextEvent_ < song_->endIndex && EventScaled(song_->events[nextEvent_]) <= nowScaled_) {
        PlayEvent(song_->events[nextEvent_++], true);
    }
    const auto& audio = song_->audioEvents;
    while (nextAudioEvent_ < audio.size() &&
           AudioEventScaled(audio[nextAudioEvent_]) <= nowScaled_) {
        PlayAudioEvent(audio[nextAudioEvent_++], 0);
    }
    if (CanLoop() && nowScaled_ >= LoopEndScaled()) {
        ReturnToLoopStart();
        PlayDueEvents();
    }
}

std::int64_t Sequencer::NextDueScaled() const {
    std::int64_t next = pendingNoteOffs_.NextDue(kNever);
    if (nextEvent_ < song_->endIndex) {
        next = std::min(next, EventScaled(song_->events[nextEvent_]));
    }
    if (nextAudioEvent_ < song_->audioEvents.size()) {
        next = std::min(next, AudioEventScaled(song_->audioEvents[nextAudioEvent_]));
    }
    if (CanLoop() || (looping_ && nowScaled_ < 0)) {
        next = std::min(next, nowScaled_ < 0 ? std::int64_t{0} : LoopEndScaled());
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
    if (song_ != nullptr && CanLoop()) {
        return false;
    }
    return song_ == nullptr ||
           (nextEvent_ >= song_->endIndex && nextAudioEvent_ >= song_->audioEvents.size() &&
            pendingNoteOffs_.empty() &&
            nowScaled_ >= static_cast<std::int64_t>(song_->audioLengthMs) * kScaledPerMs);
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
