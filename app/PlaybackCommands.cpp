// The main window's playback: the two players' commands, the seek with view following, the
// timers, the status check and the window title.

#include <QScopedValueRollback>
#include <QScrollBar>
#include <algorithm>

#include "MainWindow.h"
#include "core/ShowMessage.h"
#include "playback/EmuPlay.h"
#include "playback/MidiPlay.h"
#include "playback/PlayerQueries.h"
#include "playback/PresetVoices.h"
#include "playback/TickCount.h"
#include "ui/detail/DetailView.h"
#include "ui/pianoroll/PianoRoll.h"
#include "ui/settings/Settings.h"

namespace rolvik {
namespace {

constexpr int kMidiProcPeriodMs = 10;
constexpr int kMidiProcPhaseMs = 2;
constexpr std::uint32_t kDetailRefreshMs = 100;

}  // namespace

void MainWindow::EmuPlay() {
    if (document() && !playing()) {
        StartPlaying(PlayState::EmuPlay);
    }
}

void MainWindow::MidiPlay() {
    if (document() && !playing()) {
        StartPlaying(PlayState::MidiPlay);
    }
}

// A failed start is not looked at here: the first tick's status check finds no player and stops.
void MainWindow::StartPlaying(PlayState state) {
    SetTitle("Rolvik <Starting play...>");
    const std::uint32_t offset = document()->StartOffset();
    const std::uint32_t position = std::max(playPosition_, offset);
    const auto relative = static_cast<std::int32_t>(position - offset);
    if (state == PlayState::EmuPlay) {
        pianoRoll_->SetEditLock(true);
        EmuSMAFPlay(document(), relative);
    } else {
        EmuMIDIPlay(document(), relative);
        midiTimer_.start(kMidiProcPeriodMs);
        // An event leaves at the first tick after its time. The ticks fall a little after each
        // period of the player's clock, so that events on that grid leave soon and equally late
        // every time, where ticks right on the grid would send each either at once or a whole
        // period later by the timer's jitter; the first of them sends the events at the start.
        QTimer::singleShot(kMidiProcPhaseMs, Qt::PreciseTimer, this, [this] {
            if (playState_ == PlayState::MidiPlay) {
                midiTimer_.start();
                TimerTick(1);
            }
        });
    }
    playState_ = state;
    refreshTimer_.start(CurrentSettings().refreshRate);
}

void MainWindow::Stop() {
    if (!document()) {
        return;
    }
    if (playState_ == PlayState::EmuPlay) {
        SetTitle("Rolvik <Stopping play...>");
        EmuSMAFStop();
        PresetVoices();
        playState_ = PlayState::Idle;
        refreshTimer_.stop();
        pianoRoll_->SetEditLock(false);
        UpdateTitle();
        update();
    }
    if (playState_ == PlayState::MidiPlay) {
        SetTitle("Rolvik <Stopping play...>");
        EmuMIDIStop();
        playState_ = PlayState::Idle;
        refreshTimer_.stop();
        midiTimer_.stop();
        UpdateTitle();
        update();
    }
}

void MainWindow::Rewind() {
    if (document()) {
        Seek(document()->StartOffset(), SeekKind::Plain);
        UpdateTitle();
    }
}

void MainWindow::Seek(std::uint32_t positionMs, SeekKind kind) {
    SetPlayPosition(positionMs);
    if (playing() &&
        PlayerSeek(static_cast<std::int32_t>(positionMs - document()->StartOffset())) == 0) {
        ShowMessage("Seek failed", "Error", MessageIcon::Error);
    }
    const FollowPlay mode = CurrentSettings().followPlay;
    const bool follow = kind == SeekKind::GoTo
                            ? mode != FollowPlay::NoFollow
                            : mode == FollowPlay::AlwaysFollow ||
                                  (mode != FollowPlay::NoFollow && hooks_.shiftHeld());
    if (follow) {
        MoveViewToPlay();
    }
    update();
    detailView_->viewport()->update();
}

// A message box opened by a tick runs its own event loop, in which the timers go on firing; a tick
// that came in then would run the player again underneath the one still reporting, and a failure
// repeating every 10 ms would pile box on box. Ticks therefore never overlap.
void MainWindow::TimerTick(int timer) {
    if (inTimerTick_) {
        return;
    }
    const QScopedValueRollback<bool> ticking(inTimerTick_, true);
    // A player that failed to start answers -1 for its position; the status check right after
    // stops it, and the position shown stays where it was.
    if (playState_ == PlayState::EmuPlay) {
        if (const int position = PlayerPosition(); position >= 0) {
            playPosition_ = document()->StartOffset() + static_cast<std::uint32_t>(position);
        }
        pianoRoll_->SetPlayPosition(playPosition_);
        UpdateTitle();
        StatusCheck();
    }
    if (playState_ == PlayState::MidiPlay) {
        if (timer == 0) {
            pianoRoll_->SetPlayPosition(playPosition_);
            UpdateTitle();
        } else {
            EmuMIDIProc();
            if (const int position = PlayerPosition(); position >= 0) {
                playPosition_ = static_cast<std::uint32_t>(position);
            }
            StatusCheck();
        }
    }
    if (timer == 0 && playing()) {
        FollowPlayPosition();
        if (TickCount() - lastDetailRefresh_ > kDetailRefreshMs) {
            detailView_->viewport()->update();
            lastDetailRefresh_ = TickCount();
        }
    }
}

void MainWindow::StatusCheck() {
    const int status = PlayerStatus();
    if (status == kPlayerReady) {
        Stop();
    } else if (status != kPlayerPlaying) {
        Stop();
        ShowMessage("Status is NOT 4(Playing) or 3(Ready)\nSTOPPED.", "Error", MessageIcon::Error);
    }
}

// PageFollow turns the page once the play position has passed the right edge (less the follow
// space) or lies left of the view.
void MainWindow::FollowPlayPosition() {
    const Settings& settings = CurrentSettings();
    if (settings.followPlay == FollowPlay::AlwaysFollow ||
        (settings.followPlay == FollowPlay::FollowOnShift && hooks_.shiftHeld())) {
        MoveViewToPlay();
    } else if (settings.followPlay == FollowPlay::PageFollow) {
        const std::uint32_t viewStart = pianoRoll_->ViewStartTime();
        const std::int64_t scroll = pianoRoll_->horizontalScrollBar()->value();
        const std::int64_t divider = pianoRoll_->widthDivider();
        const std::int64_t rightEdge = (scroll + width() + settings.followSpace) * divider;
        if (playPosition_ < viewStart || rightEdge < std::int64_t{playPosition_}) {
            MoveViewToPlay();
        }
    }
}

void MainWindow::MoveViewToPlay() {
    pianoRoll_->MoveView(playPosition_, CurrentSettings().followSpace);
}

void MainWindow::SetPlayPosition(std::uint32_t positionMs) {
    playPosition_ = positionMs;
    pianoRoll_->SetPlayPosition(positionMs);
}

void MainWindow::UpdateTitle() {
    const int deviceInfo = playState_ == PlayState::EmuPlay ? EmuDeviceInfo() : 0;
    setWindowTitle(QString::fromStdString(
        WindowTitle(document() != nullptr, playState_, playPosition_, deviceInfo)));
}

void MainWindow::SetTitle(const char* title) {
    setWindowTitle(QString::fromLatin1(title));
}

void MainWindow::RepaintRoll() {
    pianoRoll_->viewport()->update();
}

void MainWindow::SelectTrack(int track) {
    pianoRoll_->SetVisibleTrack(track);
    if (CurrentSettings().playVisibleOnly) {
        SetTrackFilter(track);
    }
    RepaintRoll();
}

}  // namespace rolvik
