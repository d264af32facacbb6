#pragma once

#include <cstdint>
#include <string_view>

#include "TickCount.h"
#include "core/Smaf.h"

namespace rolvik {

enum class PlayState { Idle, EmuPlay, MidiPlay };

// What a status check finds: the player plays on, the music has ended, or the player answers what
// it should not (also when it failed to start).
enum class PlayStatus { Playing, Ended, Failed };

// What the shell says when it stops a player for PlayStatus::Failed.
inline constexpr std::string_view kUnexpectedStatusText =
    "Status is NOT 4(Playing) or 3(Ready)\nSTOPPED.";

// Which of the two players runs and where play stands, for a shell that drives them on its own
// timers: it starts, stops and moves the player, runs MidiPlay's periodic work, reads the position
// back and checks the status. Positions here are absolute ms; the players get them relative to the
// document's start offset.
class PlaybackController {
  public:
    explicit PlaybackController(TickSource clock = TickCount);

    PlayState state() const { return state_; }
    bool playing() const { return state_ != PlayState::Idle; }
    std::uint32_t positionMs() const { return positionMs_; }
    std::uint32_t NowMs() const { return clock_(); }

    // Repeat: the players go back from the song's stop point to its start point until stopped;
    // it applies at once to the player that runs.
    void SetRepeat(bool repeat);
    bool repeat() const;

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

    // The emulated LED (bit 0) and vibrator (bit 1) during EmuPlay, else 0.
    int DeviceInfo() const;

    // An edit is about to take the event out of the document's list.
    void EventRemoving(const Event& event);

  private:
    TickSource clock_;
    PlayState state_ = PlayState::Idle;
    std::uint32_t positionMs_ = 0;
    std::uint32_t startOffsetMs_ = 0;  // of the document playing
};

}  // namespace rolvik
