#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "PendingNoteOffs.h"
#include "Song.h"
#include "Synthesizer.h"

namespace rolvik::synth {

constexpr int kMinTempo = 70;
constexpr int kMaxTempo = 130;
constexpr int kWrittenTempo = 100;
constexpr int kMaxKeyPitch = 12;

// Plays a song on the synthesiser, sample-accurately: each event sounds at the first sample at or
// after its time, note-offs before the events of the same time. Song time runs at tempo / 100 of
// real time.
class Sequencer {
  public:
    explicit Sequencer(Synthesizer& synthesizer) : synthesizer_(synthesizer) {}

    // The song stays owned by the caller and must outlive its use here; null unloads.
    void SetSong(const Song* song);
    // Moves to a position in ms from the beginning of the sequence: silences everything and
    // brings the channels up to date by replaying every earlier event without its notes.
    void Seek(std::uint32_t positionMs);
    // Moves to the song's first event, before its start point when the start point is later: what
    // comes before the start point (the introduction of a song that loops) is played too.
    void SeekToFirstEvent();
    // While looping, reaching the stop point goes back to the start point at once, the notes still
    // sounding ringing on and the channels and LFOs as they were at the start point.
    void SetLooping(bool looping) { looping_ = looping; }
    // How many times the song has gone back to its start point since the last seek.
    int loopsDone() const { return loopsDone_; }
    void Start() { playing_ = song_ != nullptr; }
    // Pauses; sounding notes fade out within a few ms, so that the output is silent soon after.
    void Stop();
    // Stops where the music ends: held notes are let go and ring out their release.
    void Finish();

    void SetVolume(int volume);
    void SetTempo(int tempo) { tempo_ = tempo; }
    void SetKeyPitch(int semitones) { keyPitch_ = semitones; }

    void Render(float* left, float* right, int frames);

    // Song time in ms from the beginning of the sequence.
    std::uint32_t positionMs() const;
    bool playing() const { return playing_; }
    // Every event up to the stop point has been played and every note has been let go.
    bool ended() const;
    // Bit 0 while a note sounds on an LED channel, bit 1 likewise for vibration.
    int DeviceInfo() const;

  private:
    void SeekScaled(std::int64_t positionScaled);
    std::int64_t LoopEndScaled() const;
    bool CanLoop() const;
    void ReturnToLoopStart();
    void PlayDueEvents();
    void PlayEvent(const SongEvent& event, bool sound);
    void PlayAudioEvent(const SongAudioEvent& event, std::uint32_t startFrame);
    // Starts the recordings that a seek landed inside of, from where they would be by now.
    void ResumeRecordings();
    void SendNoteOff(const PendingNoteOff& off);
    std::int64_t NextDueScaled() const;
    std::int64_t EventScaled(const SongEvent& event) const;
    std::int64_t AudioEventScaled(const SongAudioEvent& event) const;

    Synthesizer& synthesizer_;
    const Song* song_ = nullptr;
    std::size_t nextEvent_ = 0;
    std::size_t nextAudioEvent_ = 0;
    bool resumePending_ = false;
    PendingNoteOffs pendingNoteOffs_;
    std::array<std::uint8_t, kChannelCount> channelVelocity_{};
    // Song time in units of 1/(48 × 100) ms: one output sample advances it by the tempo.
    std::int64_t nowScaled_ = 0;
    int tempo_ = kWrittenTempo;
    int keyPitch_ = 0;
    bool playing_ = false;
    bool looping_ = false;
    int loopsDone_ = 0;
    // Where the loop begins in the song's events and the audio tracks' events, and the controls
    // as they stood there, once the start point has been reached.
    std::size_t loopStartEvent_ = 0;
    std::size_t loopStartAudioEvent_ = 0;
    std::optional<Synthesizer::ControlState> loopStartControls_;
};

}  // namespace rolvik::synth
