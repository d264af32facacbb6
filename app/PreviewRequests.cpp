// The piano roll's requests to the main window (seek, sound and stop a note) and the instrument
// menu that picks the program for tracks that name none.

#include <QCursor>
#include <QMouseEvent>
#include <algorithm>

#include "InstrumentMenu.h"
#include "MainWindow.h"
#include "ui/pianoroll/PianoRoll.h"

namespace rolvik {

// The roll's requests are handled before their emits return, as the roll relies on.
void MainWindow::ConnectPianoRoll() {
    connect(
        pianoRoll_, &PianoRoll::SeekRequested, this,
        [this](quint32 timeMs) {
            if (document()) {
                Seek(std::max<std::uint32_t>(timeMs, document()->StartOffset()), SeekKind::Plain);
                UpdateTitle();
            }
        },
        Qt::DirectConnection);
    connect(
        pianoRoll_, &PianoRoll::NoteSoundRequested, this,
        [this](int key) {
            if (playback_.state() != PlayState::EmuPlay) {
                SoundPreviewNote(engine_, document(), pianoRoll_->visibleTrack(), key,
                                 hooks_.shiftHeld(), currentInstrument_, previewedNote_);
            }
        },
        Qt::DirectConnection);
    connect(
        pianoRoll_, &PianoRoll::NoteStopRequested, this,
        [this] {
            if (playback_.state() != PlayState::EmuPlay) {
                StopPreviewNote(engine_, previewedNote_);
            }
        },
        Qt::DirectConnection);
    // The roll fills nearly all of the window: its middle clicks open the menu too.
    connect(
        pianoRoll_, &PianoRoll::MiddleClicked, this, [this] { ShowInstrumentMenu(QCursor::pos()); },
        Qt::DirectConnection);
}

void MainWindow::ShowInstrumentMenu(QPoint globalPosition) {
    const std::unique_ptr<QMenu> menu = BuildInstrumentMenu(engine_.voices(), currentInstrument_);
    const QAction* chosen = hooks_.runMenu(*menu, globalPosition);
    if (chosen && chosen->data().toInt() >= kInstrumentCommandBase) {
        currentInstrument_ = chosen->data().toInt() - kInstrumentCommandBase;
    }
}

}  // namespace rolvik
