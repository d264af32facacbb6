// The main window's playback: the two players' commands, the seek with view following, the
// timers, the status check and the window title.

#include <QScopedValueRollback>
#include <QScrollBar>

#include "MainWindow.h"
#include "StatusBar.h"
#include "core/ShowMessage.h"
#include "ui/detail/DetailView.h"
#include "ui/pianoroll/PianoRoll.h"
#include "ui/settings/Settings.h"

namespace rolvik {
namespace {

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

void MainWindow::StartPlaying(PlayState state) {
    SetTitle("Rolvik <Starting play...>");
    if (state == PlayState::EmuPlay) {
        pianoRoll_->SetEditLock(true);
    }
    if (!playback_.Start(state, *document())) {
        if (state == PlayState::EmuPlay) {
            pianoRoll_->SetEditLock(false);
        }
        UpdateTitle();
        return;
    }
    timers_.Start(state);
    UpdateStatus();
}

void MainWindow::Stop() {
    if (!document() || !playing()) {
        return;
    }
    SetTitle("Rolvik <Stopping play...>");
    const PlayState stopped = playback_.Stop();
    timers_.Stop();
    if (stopped == PlayState::EmuPlay) {
        pianoRoll_->SetEditLock(false);
    }
    UpdateTitle();
    update();
}

void MainWindow::Rewind() {
    if (document()) {
        Seek(document()->StartOffset(), SeekKind::Plain);
        UpdateTitle();
    }
}

void MainWindow::GoTo(std::uint32_t positionMs) {
    if (document()) {
        Seek(positionMs, SeekKind::GoTo);
        UpdateTitle();
    }
}

void MainWindow::Seek(std::uint32_t positionMs, SeekKind kind) {
    const bool moved = playback_.Seek(positionMs);
    pianoRoll_->SetPlayPosition(positionMs);
    if (!moved) {
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
    UpdateStatus();
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
    if (playback_.state() == PlayState::EmuPlay) {
        playback_.ReadPosition();
        pianoRoll_->SetPlayPosition(playback_.positionMs());
        UpdateTitle();
        StatusCheck();
    }
    if (playback_.state() == PlayState::MidiPlay) {
        if (timer == 0) {
            pianoRoll_->SetPlayPosition(playback_.positionMs());
            UpdateTitle();
        } else {
            playback_.Process();
            playback_.ReadPosition();
            StatusCheck();
        }
    }
    if (timer == 0 && playing()) {
        FollowPlayPosition();
        if (playback_.NowMs() - lastDetailRefresh_ > kDetailRefreshMs) {
            detailView_->viewport()->update();
            lastDetailRefresh_ = playback_.NowMs();
        }
    }
}

void MainWindow::StatusCheck() {
    const PlayStatus status = playback_.Status();
    if (status == PlayStatus::Ended) {
        Stop();
    } else if (status == PlayStatus::Failed) {
        Stop();
        ShowMessage(kUnexpectedStatusText, "Error", MessageIcon::Error);
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
        const std::uint32_t position = playback_.positionMs();
        if (position < viewStart || rightEdge < std::int64_t{position}) {
            MoveViewToPlay();
        }
    }
}

void MainWindow::MoveViewToPlay() {
    pianoRoll_->MoveView(playback_.positionMs(), CurrentSettings().followSpace);
}

void MainWindow::UpdateTitle() {
    setWindowTitle(QString::fromStdString(WindowTitle(
        document() != nullptr, playback_.state(), playback_.positionMs(), playback_.DeviceInfo())));
    UpdateStatus();
}

void MainWindow::UpdateStatus() {
    SongStatus status;
    if (document()) {
        status.fileName = documents_->documentName();
        status.unsaved = session_.HasUnsavedEdits();
        status.uncompiled = session_.HasUncompiledEdits();
        status.positionMs = playback_.positionMs();
        status.lengthMs = pianoRoll_->SongLengthMs();
    }
    status.player = playback_.state();
    statusBar_->Show(status);
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
        playback_.SetTrackFilter(track);
    }
    RepaintRoll();
}

}  // namespace rolvik
