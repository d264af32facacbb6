// The piano roll's requests to the main window (seek, sound and stop a note) and the instrument
// menu that picks the program for tracks that name none.

#include <QCursor>
#include <QMouseEvent>
#include <algorithm>

#include "InstrumentMenu.h"
#include "MainWindow.h"
#include "ui/pianoroll/PianoRoll.h"

namespace rolvik {

void MainWindow::HandleRequest(PianoRollRequest kind, int note, quint32 timeMs) {
    switch (kind) {
        case PianoRollRequest::SeekRequest:
            if (document()) {
                Seek(std::max<std::uint32_t>(timeMs, document()->StartOffset()), SeekKind::Plain);
                UpdateTitle();
            }
            return;
        case PianoRollRequest::SoundNoteRequest:
            if (playback_.state() != PlayState::EmuPlay) {
                SoundPreviewNote(engine_, document(), pianoRoll_->visibleTrack(), note,
                                 hooks_.shiftHeld(), currentInstrument_, previewedNote_);
            }
            return;
        case PianoRollRequest::StopNoteRequest:
            if (playback_.state() != PlayState::EmuPlay) {
                StopPreviewNote(engine_, previewedNote_);
            }
            return;
        case PianoRollRequest::MiddleClickNotice:
            // The roll fills nearly all of the window: its middle clicks open the menu too.
            ShowInstrumentMenu(QCursor::pos());
            return;
        case PianoRollRequest::DoubleClickNotice:
            return;
    }
}

void MainWindow::ShowInstrumentMenu(QPoint globalPosition) {
    const std::unique_ptr<QMenu> menu = BuildInstrumentMenu(engine_.voices(), currentInstrument_);
    const QAction* chosen = hooks_.runMenu(*menu, globalPosition);
    if (chosen && chosen->data().toInt() >= kInstrumentCommandBase) {
        currentInstrument_ = chosen->data().toInt() - kInstrumentCommandBase;
    }
}

}  // namespace rolvik
