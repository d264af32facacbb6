#pragma once

#include <QStatusBar>
#include <QString>
#include <cstdint>
#include <string>

#include "playback/PlaybackController.h"

class QLabel;

namespace rolvik {

// What the status bar tells of the open song.
struct SongStatus {
    QString fileName;         // empty while no song is open
    bool unsaved = false;     // the song holds edits that no saved file holds
    bool uncompiled = false;  // edits that no compile has taken in: EmuPlay plays without them
    std::uint32_t positionMs = 0;
    std::uint32_t lengthMs = 0;
    PlayState player = PlayState::Idle;
};

inline constexpr const char* kUncompiledEditsText = "edits not compiled: F5 plays the last compile";

// A time as minutes, seconds and milliseconds: "1:07.500".
std::string PlayTimeText(std::uint32_t timeMs);

// The bar under the piano roll: the song's file name, marked "*" while it holds unsaved edits, a
// warning while F5 would play an older compile, the play position and the song's length, the
// player that runs, and "Repeat" while the player repeats the song.
class StatusBar : public QStatusBar {
    Q_OBJECT

  public:
    explicit StatusBar(QWidget* parent = nullptr);

    void Show(const SongStatus& status);
    void SetRepeat(bool on);

    // Every text shown, left to right, separated by " | ".
    QString shownText() const;

  private:
    QLabel* file_;
    QLabel* uncompiled_;
    QLabel* player_;
    QLabel* repeat_;
    QLabel* position_;
};

}  // namespace rolvik
