// The main window's ways around the song: the View menu's zooms and following, and the keys that
// play or stop and go to the song's start and end.

#include <QMenu>
#include <QShortcut>

#include "MainWindow.h"
#include "UserSettings.h"
#include "ViewMenu.h"
#include "core/SongLength.h"
#include "ui/pianoroll/PianoRoll.h"
#include "ui/settings/Settings.h"

namespace rolvik {

void MainWindow::BuildViewItems(QMenu& view) {
    view.addSeparator();
    for (const ViewCommand& command : ViewMenuItems()) {
        QAction* item = view.addAction(
            QString::fromLatin1(command.text.data(), static_cast<qsizetype>(command.text.size())));
        item->setCheckable(command.checkable);
        if (command.shortcut != QKeyCombination()) {
            item->setShortcut(QKeySequence(command.shortcut));
            item->setShortcutContext(Qt::WindowShortcut);
            addAction(item);
        }
        const CommandId id = command.id;
        connect(item, &QAction::triggered, this, [this, id] { RunCommand(id); });
        actions_[id] = item;
    }
    // The keyboard entry can choose any follow mode; the item shows whether the view follows.
    connect(&view, &QMenu::aboutToShow, this, [this] {
        actions_.at(CommandId::FollowPlayback)
            ->setChecked(CurrentSettings().followPlay != FollowPlay::NoFollow);
    });
}

void MainWindow::AddFindingKeys() {
    for (const ViewCommand& command : FindingKeys()) {
        auto* shortcut = new QShortcut(QKeySequence(command.shortcut), this);
        shortcut->setContext(Qt::WindowShortcut);
        const CommandId id = command.id;
        connect(shortcut, &QShortcut::activated, this, [this, id] { RunCommand(id); });
    }
}

void MainWindow::RestoreViewChoices() {
    if (const std::optional<int> rowHeight = RememberedRowHeight()) {
        pianoRoll_->SetRowHeight(*rowHeight);
    }
    if (RememberedFollowPlayback()) {
        CurrentSettings().followPlay = FollowPlay::PageFollow;
    }
    actions_.at(CommandId::FollowPlayback)
        ->setChecked(CurrentSettings().followPlay != FollowPlay::NoFollow);
}

void MainWindow::RunViewCommand(CommandId id) {
    PianoRoll& roll = *pianoRoll_;
    switch (id) {
        case CommandId::TallerKeys:
            return roll.TallerKeys(roll.ViewCentreY());
        case CommandId::ShorterKeys:
            return roll.ShorterKeys(roll.ViewCentreY());
        case CommandId::FitKeys:
            return roll.FitKeysToWindow();
        case CommandId::ZoomToFit:
            return roll.ZoomToFit();
        case CommandId::FollowPlayback:
            return SetFollowPlayback(actions_.at(CommandId::FollowPlayback)->isChecked());
        case CommandId::PlayOrStop:
            return PlayOrStop();
        case CommandId::GoToSongStart:
            return GoToSongStart();
        case CommandId::GoToSongEnd:
            return GoToSongEnd();
        default:
            return;
    }
}

void MainWindow::PlayOrStop() {
    if (playing()) {
        Stop();
    } else {
        EmuPlay();
    }
}

// The play position goes to where playback starts, and the view shows it with the follow space
// before it.
void MainWindow::GoToSongStart() {
    if (!document()) {
        return;
    }
    const std::uint32_t start = document()->StartOffset();
    Seek(start, SeekKind::Plain);
    pianoRoll_->MoveView(start, CurrentSettings().followSpace);
    UpdateTitle();
}

// The play position goes to the song's end, and the view shows it the follow space left of the
// right edge.
void MainWindow::GoToSongEnd() {
    if (!document()) {
        return;
    }
    const std::uint32_t end = SongLength(*document());
    Seek(end, SeekKind::Plain);
    pianoRoll_->MoveView(end, -(pianoRoll_->viewport()->width() + CurrentSettings().followSpace));
    UpdateTitle();
}

void MainWindow::SetFollowPlayback(bool follow) {
    CurrentSettings().followPlay = follow ? FollowPlay::PageFollow : FollowPlay::NoFollow;
    RememberFollowPlayback(follow);
}

}  // namespace rolvik
