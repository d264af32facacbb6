// The synthesiser's sampled sound: sampled voices, the stream waves of drum-bank notes and the
// audio tracks' recordings, played as sampled notes beside the FM notes.

#include <algorithm>

#include "ChipDrums.h"
#include "DefaultVoices.h"
#include "Synthesizer.h"

namespace rolvik::synth {
namespace {

constexpr int kRecordingVelocity = 127;

}  // namespace

void Synthesizer::SetSongWaves(const WaveBank* bank) {
    recordWaves_.fill(nullptr);
    streamWaves_.fill(nullptr);
    if (bank == nullptr) {
        return;
    }
    for (const auto& [id, wave] : bank->records) {
        recordWaves_[id] = &wave;
    }
    for (const auto& [number, wave] : bank->streams) {
        streamWaves_[number] = &wave;
    }
}

void Synthesizer::DefineWave(std::uint8_t id, const Wave* wave) {
    recordWaves_[id] = wave;
}

void Synthesizer::DefineStreamWave(std::uint8_t number, const Wave* wave) {
    streamWaves_[number] = wave;
}

// Plays the voice's wave and answers null; a wave that neither the song nor our drum kit has sounds
// as the built-in voice of the program or of the drum key, which may itself be a kit drum.
const VoiceParameters* Synthesizer::SoundOfSampledVoice(const VoiceParameters& voice, int channel,
                                                        int key, int velocity) {
    const Channel& state = channels_[channel];
    const Wave* wave = WaveOf(voice.pcmWave);
    if (wave == nullptr || voice.pcmWave.rateHz == 0) {
        if (!state.isDrum()) {
            return &DefaultMelodyVoice(state.program);
        }
        const VoiceParameters* standIn =
            DefaultDrumVoice(std::clamp(key, kFirstDefaultDrumNote, kLastDefaultDrumNote));
        return standIn->kind == VoiceKind::Pcm
                   ? SoundOfSampledVoice(*standIn, channel, key, velocity)
                   : standIn;
    }
    // Drum notes play the wave at its own rate whatever the key.
    const float semitones = state.isDrum() ? 0.0f : static_cast<float>(key - kSampledBaseKey);
    sampledNotes_.Allocate().StartVoice(voice, *wave, semitones, channel, key, velocity,
                                        nextSerial_++);
    return nullptr;
}

// The chip's own sample memory holds our drum kit; other waves are the song's, a wave record
// first.
const Wave* Synthesizer::WaveOf(const PcmVoiceWave& reference) const {
    if (reference.inChipMemory) {
        return ChipDrumWave(reference.waveId);
    }
    return recordWaves_[reference.waveId] != nullptr ? recordWaves_[reference.waveId]
                                                     : streamWaves_[reference.waveId];
}

// A drum note on key k plays the song's stream wave number k + 1, if there is one.
bool Synthesizer::PlayStreamWave(int channel, int key, int velocity) {
    if (!channels_[channel].isDrum()) {
        return false;
    }
    const Wave* wave =
        key + 1 < static_cast<int>(streamWaves_.size()) ? streamWaves_[key + 1] : nullptr;
    if (wave == nullptr) {
        return false;
    }
    sampledNotes_.Allocate().StartRecording(*wave, 0, channel, key, velocity, nextSerial_++);
    return true;
}

void Synthesizer::PlayRecording(int audioChannel, int waveNumber, const Wave& wave,
                                std::uint32_t startFrame) {
    const int channel = kChannelCount + audioChannel;
    sampledNotes_.ReleaseChannel(channel);
    sampledNotes_.Allocate().StartRecording(wave, startFrame, channel, waveNumber,
                                            kRecordingVelocity, nextSerial_++);
}

void Synthesizer::StopRecording(int audioChannel, int waveNumber) {
    sampledNotes_.NoteOff(kChannelCount + audioChannel, waveNumber, false);
}

void Synthesizer::SetAudioControl(int audioChannel, AudioEvent::Kind kind, std::uint8_t value) {
    Channel& state = audioChannels_[audioChannel];
    switch (kind) {
        case AudioEvent::Kind::Volume:
            state.volume = value;
            break;
        case AudioEvent::Kind::Panpot:
            state.pan = value;
            break;
        case AudioEvent::Kind::Expression:
            state.expression = value;
            break;
        case AudioEvent::Kind::Trigger:
            break;
    }
}

}  // namespace rolvik::synth
