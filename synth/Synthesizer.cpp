#include "Synthesizer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "core/RegisterPitch.h"

namespace rolvik::synth {
namespace {

constexpr float kBendRangeSemitones = 2.0f;
constexpr float kModulationWheelCents = 50.0f;
constexpr std::uint8_t kFollowChannelPan = 255;

// Notes keyed on through the FM registers carry this key, which no note-off names.
constexpr int kRegisterKey = -1;
// They carry no velocity; as the HandyPhone songs' notes, which have none either, they sound at
// their voice's full level.
constexpr int kRegisterVelocity = 127;
constexpr int kKeyOnBit = 0x20;

float SquaredLevel(int value) {
    const float level = value / 127.0f;
    return level * level;
}

// How many notes of `operatorCount` operators go in one group. Two-operator notes go by four.
// Four four-operator notes hold more running values than the processor has registers, and the
// spilling costs more than the fourth note gains, so they go by three; and by two when they render
// a block at a time, where loading the group weighs more against a few dozen frames.
int GroupSize(int operatorCount, bool followingLfo) {
    if (operatorCount <= 2) {
        return Note::kMaxTogether;
    }
    return followingLfo ? 2 : 3;
}

}  // namespace

Synthesizer::Synthesizer() {
    Reset();
}

void Synthesizer::Reset() {
    for (int i = 0; i < kChannelCount; ++i) {
        channels_[i] = Channel::Initial((drumChannels_ >> i & 1) != 0);
    }
    audioChannels_.fill(Channel{});
    notes_.KillAll();
    sampledNotes_.KillAll();
}

void Synthesizer::ReleaseAll() {
    notes_.ReleaseAll();
    sampledNotes_.ReleaseAll();
}

void Synthesizer::DampAll() {
    notes_.DampAll();
    sampledNotes_.DampAll();
}

void Synthesizer::Apply(const MidiMessage& message) {
    switch (message.type) {
        case MessageType::Channel:
            HandleChannelMessage(message.channelBytes);
            break;
        case MessageType::Reset:
            Reset();
            break;
        case MessageType::MasterVolume:
            masterVolume_ = std::min<std::uint8_t>(message.value, 127);
            break;
        case MessageType::DefineVoice:
            voices_.Define(message.key, message.voice);
            break;
        case MessageType::EraseVoice:
            voices_.Erase(message.key);
            break;
        case MessageType::RegisterWrite:
            WriteRegister(message.address, message.value, true);
            break;
        case MessageType::Ignored:
            break;
    }
}

void Synthesizer::ApplySilently(const MidiMessage& message) {
    if (message.type == MessageType::RegisterWrite) {
        WriteRegister(message.address, message.value, false);
    } else {
        Apply(message);
    }
}

// Registers B0+n hold the low 8 bits of channel n's F-number; C0+n hold key-on (bit 5), the
// block (bits 4-2) and the F-number's top 2 bits. A key-on strikes a note with the channel's
// voice; while it is held, the pitch follows every new frequency, as on the chip; a write that
// clears key-on releases it.
void Synthesizer::WriteRegister(int address, int value, bool sound) {
    const int channel = address & 0x0F;
    Channel& state = channels_[channel];
    const int kind = address & 0xF0;
    if (kind == 0xB0) {
        state.fNumber = static_cast<std::uint16_t>((state.fNumber & 0x300) | value);
    } else if (kind == 0xC0) {
        state.fNumber = static_cast<std::uint16_t>((state.fNumber & 0xFF) | (value & 0x03) << 8);
        state.block = static_cast<std::uint8_t>((value >> 2) & 0x07);
    } else {
        return;
    }
    Note* held = HeldRegisterNote(channel);
    if (kind == 0xC0 && (value & kKeyOnBit) == 0) {
        if (held != nullptr) {
            held->Release();
        }
        return;
    }
    const std::optional<float> pitch = RegisterPitch(state.fNumber, state.block);
    if (!pitch) {
        return;
    }
    if (held != nullptr) {
        held->SetPitch(*pitch);
    } else if (kind == 0xC0 && sound) {
        const auto key = static_cast<std::uint8_t>(std::clamp(std::lround(*pitch), 0l, 127l));
        if (const VoiceParameters* voice = voices_.Find(state, key)) {
            StartNote(*voice, channel, kRegisterKey, *pitch, kRegisterVelocity);
        }
    }
}

Note* Synthesizer::HeldRegisterNote(int channel) {
    for (Note& note : notes_.notes()) {
        if (note.active() && !note.released() && note.channel() == channel &&
            note.key() == kRegisterKey) {
            return &note;
        }
    }
    return nullptr;
}

void Synthesizer::HandleChannelMessage(const std::array<std::uint8_t, 3>& bytes) {
    const int channel = bytes[0] & 0x0F;
    const int data1 = bytes[1];
    const int data2 = bytes[2] & 0x7F;
    switch (bytes[0] & 0xF0) {
        case 0x80:
            NoteOff(channel, data1);
            break;
        case 0x90:
            if (data2 == 0) {
                NoteOff(channel, data1);
            } else {
                NoteOn(channel, data1, data2);
            }
            break;
        case 0xB0:
            ControlChange(channel, data1 & 0x7F, data2);
            break;
        case 0xC0:
            channels_[channel].program = data1 & 0x7F;
            break;
        case 0xE0:
            channels_[channel].pitchBend = static_cast<std::uint16_t>((data1 & 0x7F) | data2 << 7);
            break;
        default:
            break;
    }
}

void Synthesizer::ControlChange(int channel, int controller, int value) {
    Channel& state = channels_[channel];
    switch (controller) {
        case 0:
            state.SelectBank(static_cast<std::uint8_t>(value));
            break;
        case 32:
            state.bankLsb = static_cast<std::uint8_t>(value);
            break;
        case 1:
            state.modulation = static_cast<std::uint8_t>(value);
            break;
        case 7:
            state.volume = static_cast<std::uint8_t>(value);
            break;
        case 10:
            state.pan = static_cast<std::uint8_t>(value);
            break;
        case 11:
            state.expression = static_cast<std::uint8_t>(value);
            break;
        case 64:
            SetHold(channel, value >= 64);
            break;
        case 120:  // all sound off
            notes_.KillChannel(channel);
            sampledNotes_.KillChannel(channel);
            break;
        case 121:  // reset all controllers
            state.modulation = 0;
            state.expression = 127;
            state.pitchBend = 8192;
            SetHold(channel, false);
            break;
        case 123:  // all notes off
            notes_.ReleaseChannel(channel);
            sampledNotes_.ReleaseChannel(channel);
            break;
        default:
            break;
    }
}

void Synthesizer::SetHold(int channel, bool on) {
    channels_[channel].hold = on;
    if (on) {
        return;
    }
    notes_.ReleaseHeld(channel);
    sampledNotes_.ReleaseHeld(channel);
}

void Synthesizer::NoteOn(int channel, int key, int velocity) {
    if (key > 127) {
        return;  // a transposition pushed the key off the keyboard
    }
    const Channel& state = channels_[channel];
    if (PlayStreamWave(channel, key, velocity)) {
        return;
    }
    const VoiceParameters* voice = voices_.Find(state, static_cast<std::uint8_t>(key));
    if (voice != nullptr && voice->kind == VoiceKind::Pcm) {
        voice = SoundOfSampledVoice(*voice, channel, key, velocity);
    }
    if (voice == nullptr) {
        return;
    }
    const int pitchNote = state.isDrum() ? voice->drumKey() : key;
    StartNote(*voice, channel, key, static_cast<float>(pitchNote), velocity);
}

void Synthesizer::StartNote(const VoiceParameters& voice, int channel, int key, float pitch,
                            int velocity) {
    Note& note = notes_.Allocate();
    notePanpot_[notes_.IndexOf(note)] =
        voice.panpotEnabled() ? static_cast<std::uint8_t>(voice.panpot()) : kFollowChannelPan;
    note.Start(voice, channel, key, pitch, velocity, nextSerial_++, NoteControls{});
    note.SetPitchBend(ControlsFor(note).pitchBendSemitones);
}

void Synthesizer::NoteOff(int channel, int key) {
    const bool hold = channels_[channel].hold;
    notes_.NoteOff(channel, key, hold);
    sampledNotes_.NoteOff(channel, key, hold);
}

NoteControls Synthesizer::ControlsFor(const Note& note) const {
    return ChannelControls(note.channel(), notePanpot_[notes_.IndexOf(note)]);
}

// Channels from kChannelCount on are the audio tracks' channels.
NoteControls Synthesizer::ChannelControls(int channel, std::uint8_t panpot) const {
    const Channel& state =
        channel < kChannelCount ? channels_[channel] : audioChannels_[channel - kChannelCount];
    NoteControls controls;
    controls.pitchBendSemitones = (state.pitchBend - 8192) / 8192.0f * kBendRangeSemitones;
    controls.modulationCents = state.modulation / 127.0f * kModulationWheelCents;
    const float gain = SquaredLevel(state.volume) * SquaredLevel(state.expression) *
                       SquaredLevel(masterVolume_) * outputGain_;
    const float position = panpot == kFollowChannelPan ? state.pan / 127.0f : panpot / 31.0f;
    const float angle = position * std::numbers::pi_v<float> / 2.0f;
    // Constant power, scaled so that the centre keeps the full level on both sides.
    controls.gainLeft = gain * std::cos(angle) * std::numbers::sqrt2_v<float>;
    controls.gainRight = gain * std::sin(angle) * std::numbers::sqrt2_v<float>;
    return controls;
}

void Synthesizer::Render(float* left, float* right, int frames) {
    std::fill_n(left, frames, 0.0f);
    std::fill_n(right, frames, 0.0f);
    // No message arrives during a render, so each note's controls hold for all of its blocks.
    std::array<NoteControls, kMaxNotes> controls;
    std::array<bool, kMaxNotes> followsLfo{};
    bool anyFollowsLfo = false;
    const std::array<Note, kMaxNotes>& notes = notes_.notes();
    for (int i = 0; i < kMaxNotes; ++i) {
        if (notes[i].active()) {
            controls[i] = ControlsFor(notes[i]);
            followsLfo[i] = notes[i].FollowsLfo(controls[i]);
            anyFollowsLfo = anyFollowsLfo || followsLfo[i];
        }
    }
    std::array<NoteControls, kMaxSampledNotes> sampledControls;
    for (int i = 0; i < kMaxSampledNotes; ++i) {
        const SampledNote& note = sampledNotes_.notes()[i];
        if (note.active()) {
            sampledControls[i] = ChannelControls(
                note.channel(),
                note.hasPanpot() ? static_cast<std::uint8_t>(note.panpot()) : kFollowChannelPan);
        }
    }
    RenderNotes(left, right, frames, controls, followsLfo, false);
    for (int done = 0; done < frames;) {
        const int block = std::min(kBlockFrames, frames - done);
        if (anyFollowsLfo) {
            RenderNotes(left + done, right + done, block, controls, followsLfo, true);
        }
        RenderSampledNotes(left + done, right + done, block, sampledControls);
        lfo_.Advance(block);
        done += block;
    }
}

// Renders the notes that follow the LFO or those that do not, in groups of one algorithm, which
// is faster than one by one.
void Synthesizer::RenderNotes(float* left, float* right, int frames,
                              const std::array<NoteControls, kMaxNotes>& controls,
                              const std::array<bool, kMaxNotes>& followsLfo, bool followingLfo) {
    struct Group {
        std::array<Note*, Note::kMaxTogether> notes;
        std::array<const NoteControls*, Note::kMaxTogether> controls;
        int size = 0;
    };
    std::array<Group, Note::kAlgorithmCount> groups;
    auto render = [&](Group& group) {
        const auto size = static_cast<std::size_t>(group.size);
        Note::RenderTogether({group.notes.data(), size}, {group.controls.data(), size}, left, right,
                             frames, lfo_);
        group.size = 0;
    };
    std::array<Note, kMaxNotes>& notes = notes_.notes();
    for (int i = 0; i < kMaxNotes; ++i) {
        if (!notes[i].active() || followsLfo[i] != followingLfo) {
            continue;
        }
        Group& group = groups[notes[i].algorithm()];
        group.notes[group.size] = &notes[i];
        group.controls[group.size] = &controls[i];
        if (++group.size == GroupSize(notes[i].operatorCount(), followingLfo)) {
            render(group);
        }
    }
    for (Group& group : groups) {
        if (group.size > 0) {
            render(group);
        }
    }
}

// Adds every sounding wave to the buffers for up to one block.
void Synthesizer::RenderSampledNotes(float* left, float* right, int frames,
                                     const std::array<NoteControls, kMaxSampledNotes>& controls) {
    std::array<SampledNote, kMaxSampledNotes>& notes = sampledNotes_.notes();
    for (int i = 0; i < kMaxSampledNotes; ++i) {
        if (notes[i].active()) {
            notes[i].Render(left, right, frames, lfo_, controls[i]);
        }
    }
}

std::uint16_t Synthesizer::HeldChannels() const {
    return notes_.HeldChannels() | sampledNotes_.HeldChannels();
}

int Synthesizer::ActiveNoteCount() const {
    return notes_.ActiveCount() + sampledNotes_.ActiveCount();
}

bool Synthesizer::IsSounding(int channel, int key) const {
    return notes_.IsSounding(channel, key) || sampledNotes_.IsSounding(channel, key);
}

}  // namespace rolvik::synth
