#pragma once

#include <cstdint>
#include <string_view>

#include "EngineSession.h"
#include "core/Smaf.h"

namespace rolvik {

enum class PlayState { Idle, EmuPlay, MidiPlay };

// What a status check finds: the player plays on, the music has ended, or the player answers what
// it should not (also when it failed to start).
enum class PlayStatus { Playing, Ended, Failed };

// What the shell says when it stops a player for PlayStatus::Failed.
inline constexpr std::string_view kUnexpectedStatusText =
    "Status is NOT 4(Playing) or 3(Ready)\nSTOPPED.";

inline constexpr int kPlayerReady = 3;  // the music has ended
inline constexpr int kPlayerPlaying = 4;

// Which of the two players of an engine session runs and where play stands, for a shell that drives
// them on its own timers: it starts, stops and moves the player, runs MidiPlay's periodic work,
// reads the position back, checks the status and passes the controls on. It is the one holder of
// which player runs. Positions here are absolute ms; the players get them relative to the
// document's start offset.
class PlaybackController {
  public:
    explicit PlaybackController(EngineSession& engine) : engine_(engine) {}

    PlayState state() const { return state_; }
    bool playing() const { return state_ != PlayState::Idle; }
    std::uint32_t positionMs() const { return positionMs_; }
    std::uint32_t NowMs() const { return engine_.NowMs(); }

    // The controls: each stores the value and passes it to the player that runs; 1 when the
    // engine refused it, else 0. EmuPlay takes all three, MidiPlay the volume at once and the key
    // pitch at each note it turns on; MidiPlay's events keep their own times whatever the tempo.
    int SetVolume(int volume);
    int SetTempo(int tempo);
    int SetKeyPitch(int keyPitch);
    int volume() const { return engine_.controls().volume; }
    int tempo() const { return engine_.controls().tempo; }
    int keyPitch() const { return engine_.controls().keyPitch; }

    // Repeat: the players go back from the song's stop point to its start point until stopped;
    // it applies at once to the player that runs.
    void SetRepeat(bool repeat);
    bool repeat() const { return engine_.controls().repeat; }

    // kAllTracks lets MidiPlay sound every channel, 0..15 only that channel.
    void SetTrackFilter(int channel) { engine_.midi().SetTrackFilter(channel); }

    // Where the next start plays from.
    void SetPosition(std::uint32_t positionMs) { positionMs_ = positionMs; }

    // Starts the player on the document at the position, or at the start offset when the position
    // lies before it. A player that fails to start has said why itself; it is stopped again at
    // once, so that no status check reports the same failure a second time, and false comes back.
    bool Start(PlayState player, Smaf& document);

    // Stops the player that runs (EmuPlay returns the engine to MIDI use with the preset voices)
    // and says which one that was; Idle when none ran.
    PlayState Stop();

    // Moves the position, and a running player with it; false when the player refused.
    bool Seek(std::uint32_t positionMs);

    // MidiPlay's periodic work: note-offs whose gate has passed, then the events that are due.
    void Process();

    // Takes the running player's position; when it answers none (-1), the position stays where it
    // was.
    void ReadPosition();

    PlayStatus Status() const;

    // EmuPlay's status from the engine; MidiPlay's is 4 while events remain to be sent and 3 after
    // the last; -1 when neither player runs.
    int PlayerStatus() const;

    // EmuPlay's position (ms from the start offset); MidiPlay's time (absolute ms); -1 when idle.
    int PlayerPosition() const;

    // Moves the running player to a position in ms from the start offset: EmuPlay through the
    // sequencer, MidiPlay by starting again from there. 1 on success, 0 otherwise (also when idle).
    int PlayerSeek(std::int32_t positionMs);

    // The emulated LED (bit 0) and vibrator (bit 1) during EmuPlay, else 0.
    int DeviceInfo() const;

    // An edit is about to take the event out of the document's list.
    void EventRemoving(const Event& event);

  private:
    EngineSession& engine_;
    PlayState state_ = PlayState::Idle;
    // A MidiPlay that could not start again at a seek has stopped: it answers no status or position
    // and does no periodic work until the shell stops it.
    bool midiLost_ = false;
    std::uint32_t positionMs_ = 0;
    std::uint32_t startOffsetMs_ = 0;  // of the document playing
};

}  // namespace rolvik
