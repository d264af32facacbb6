#pragma once

#include <QTimer>
#include <functional>

#include "playback/PlaybackController.h"

namespace rolvik {

// The two timers that move playback on while a player runs: timer 0 refreshes what shows the play
// position, at the refresh rate of the settings, and timer 1 runs MidiPlay's processing every 10
// ms. Each tick calls `tick` with the number of its timer.
class PlayPositionTimers {
  public:
    explicit PlayPositionTimers(std::function<void(int timer)> tick);
    PlayPositionTimers(const PlayPositionTimers&) = delete;
    PlayPositionTimers& operator=(const PlayPositionTimers&) = delete;

    // Timer 0 for either player; timer 1 too for MidiPlay, which ticks once at once.
    void Start(PlayState state);
    void Stop();
    // A running timer 0 goes on at the new rate.
    void SetRefreshRate(int ms);

    const QTimer& refresh() const { return refresh_; }
    const QTimer& midi() const { return midi_; }

  private:
    std::function<void(int timer)> tick_;
    QTimer refresh_;
    QTimer midi_;
};

}  // namespace rolvik
