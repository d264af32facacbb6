#pragma once

#include <array>
#include <cstdint>

#include "Channel.h"
#include "Lfo.h"
#include "MidiMessage.h"
#include "Note.h"
#include "NotePool.h"
#include "SampledNote.h"
#include "VoiceBank.h"
#include "core/AudioTrack.h"
#include "core/Wave.h"
#include "core/WaveBank.h"

namespace rolvik::synth {

constexpr int kChannelCount = 16;
constexpr int kMaxNotes = 32;
constexpr int kMaxSampledNotes = 16;
// Four channels for each of up to four audio tracks.
constexpr int kAudioChannelCount = 16;
// A melody voice plays its wave at the voice's rate on this key (C4): the songs' instrument
// waves are recorded so that they sound a C there.
constexpr int kSampledBaseKey = 60;

// The tone generator behind the MIDI messages: 16 channels, the voice bank, 32 FM notes and 16
// notes that play waves. It renders 48 kHz stereo and is driven from one thread at a time.
class Synthesizer {
  public:
    Synthesizer();

    void Apply(const MidiMessage& message);
    // Applies a message without striking a note: what a seek replays before its position. A
    // register write that keys a note on only sets the registers.
    void ApplySilently(const MidiMessage& message);
    // Renders `frames` frames of the plain mix into the buffers, overwriting them; loud music may
    // go beyond full scale (the output stage brings it back).
    void Render(float* left, float* right, int frames);

    // Silences every note and returns every channel to its initial state. Voice definitions and
    // the master volume stay.
    void Reset();
    // Which channels start on the drum bank at the next reset (bit n for channel n).
    void SetDrumChannels(std::uint16_t channels) { drumChannels_ = channels; }
    // Releases every sounding note as a note-off would.
    void ReleaseAll();
    // Fades every sounding note out within a few ms, FM, sampled and register-written alike,
    // notes that ignore key-off included.
    void DampAll();

    // A gain on the whole output besides the master-volume message (the sequencer's volume).
    void SetOutputGain(float gain) { outputGain_ = gain; }

    const Channel& channel(int index) const { return channels_[index]; }
    // The controls of every channel, MIDI and audio, and the LFOs' phases, to be put back later
    // without touching the notes that sound: a loop's return to its start, which must sound as
    // the first time.
    struct ControlState {
        std::array<Channel, kChannelCount> channels{};
        std::array<Channel, kAudioChannelCount> audioChannels{};
        Lfo lfo;
    };
    ControlState SaveControls() const { return {channels_, audioChannels_, lfo_}; }
    void RestoreControls(const ControlState& state) {
        channels_ = state.channels;
        audioChannels_ = state.audioChannels;
        lfo_ = state.lfo;
    }
    // Bit n set while a note of channel n is held (struck and not yet let go).
    std::uint16_t HeldChannels() const;
    int ActiveNoteCount() const;
    // How many of those play waves.
    int SampledNoteCount() const { return sampledNotes_.ActiveCount(); }
    // Whether a note struck with this key on this channel still sounds (held or releasing).
    bool IsSounding(int channel, int key) const;

    // The waves of the song that sampled voices and drum-bank notes play; null forgets them. The
    // bank stays owned by the caller and must outlive its use here.
    void SetSongWaves(const WaveBank* bank);
    // A wave record that arrived as a message: sampled voices naming `id` play it from now on.
    void DefineWave(std::uint8_t id, const Wave* wave);
    // A stream wave that arrived as a message: drum-bank key number - 1 plays it from now on.
    void DefineStreamWave(std::uint8_t number, const Wave* wave);

    // An audio track's channel (0..kAudioChannelCount - 1) starts playing a wave from a frame on,
    // cutting short what it played before; StopRecording lets it go.
    void PlayRecording(int audioChannel, int waveNumber, const Wave& wave,
                       std::uint32_t startFrame);
    void StopRecording(int audioChannel, int waveNumber);
    void SetAudioControl(int audioChannel, AudioEvent::Kind kind, std::uint8_t value);

  private:
    void HandleChannelMessage(const std::array<std::uint8_t, 3>& bytes);
    void NoteOn(int channel, int key, int velocity);
    void StartNote(const VoiceParameters& voice, int channel, int key, float pitch, int velocity);
    void WriteRegister(int address, int value, bool sound);
    Note* HeldRegisterNote(int channel);
    void NoteOff(int channel, int key);
    void ControlChange(int channel, int controller, int value);
    void SetHold(int channel, bool on);
    NoteControls ControlsFor(const Note& note) const;
    NoteControls ChannelControls(int channel, std::uint8_t panpot) const;
    const VoiceParameters* SoundOfSampledVoice(const VoiceParameters& voice, int channel, int key,
                                               int velocity);
    const Wave* WaveOf(const PcmVoiceWave& reference) const;
    bool PlayStreamWave(int channel, int key, int velocity);
    void RenderNotes(float* left, float* right, int frames,
                     const std::array<NoteControls, kMaxNotes>& controls,
                     const std::array<bool, kMaxNotes>& followsLfo, bool followingLfo);
    void RenderSampledNotes(float* left, float* right, int frames,
                            const std::array<NoteControls, kMaxSampledNotes>& controls);

    std::array<Channel, kChannelCount> channels_{};
    std::array<Channel, kAudioChannelCount> audioChannels_{};
    std::array<const Wave*, 256> recordWaves_{};
    std::array<const Wave*, 256> streamWaves_{};
    NotePool<Note, kMaxNotes> notes_;
    NotePool<SampledNote, kMaxSampledNotes> sampledNotes_;
    std::array<std::uint8_t, kMaxNotes> notePanpot_{};  // 0..31, or 255 to follow the channel
    VoiceBank voices_;
    Lfo lfo_;
    std::uint16_t drumChannels_ = kGeneralMidiDrumChannels;
    std::uint8_t masterVolume_ = 127;
    float outputGain_ = 1.0f;
    std::uint64_t nextSerial_ = 0;
};

}  // namespace rolvik::synth
