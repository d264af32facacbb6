#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

#include "PianoRoll.h"
#include "PianoRollGeometry.h"
#include "edit/NoteEditing.h"

// What the mouse does on the piano roll: the left button drags the play cursor in the ruler and
// sounds, selects, moves and resizes notes on the roll; a double-click inserts a note, the right
// button deletes one and the middle button only reports its key.

namespace rolvik {
namespace {

// Button positions are read as unsigned 16-bit values, as the platform's button messages carry
// them; moves read x signed and y unsigned, so a pointer captured above the window lies on no key.
int ButtonCoordinate(int value) {
    return static_cast<quint16>(value);
}

}  // namespace

void PianoRoll::mousePressEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    const int x = ButtonCoordinate(position.x());
    const int y = ButtonCoordinate(position.y());
    switch (event->button()) {
        case Qt::LeftButton:
            LeftPress(x, y);
            break;
        case Qt::RightButton:
            RightPress(x, y);
            break;
        case Qt::MiddleButton:
            MiddlePress(x, y);
            break;
        default:
            break;
    }
    event->accept();
}

// Moves act only during our own left drag. A move without the left button down means its release
// went elsewhere, as when a message box opened during the press took it: the capture is gone.
void PianoRoll::mouseMoveEvent(QMouseEvent* event) {
    if (!event->buttons().testFlag(Qt::LeftButton)) {
        FinishDrag();
    }
    if (!holdsCapture_) {
        return;
    }
    const QPoint position = event->position().toPoint();
    const int x = std::max(0, static_cast<int>(static_cast<qint16>(position.x())));
    const int y = ButtonCoordinate(position.y());
    if (state_.dragMode == DragMode::PlayCursor) {
        DragPlayCursor(x);
    } else if (state_.dragMode == DragMode::Roll) {
        DragOnRoll(x, y);
    }
}

void PianoRoll::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        LeftRelease();
    }
}

// A modal window opened during a drag takes the mouse: the release will go to that window.
bool PianoRoll::event(QEvent* event) {
    if (event->type() == QEvent::WindowBlocked) {
        FinishDrag();
    }
    return QAbstractScrollArea::event(event);
}

void PianoRoll::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint position = event->position().toPoint();
        LeftDoubleClick(ButtonCoordinate(position.x()), ButtonCoordinate(position.y()));
    }
}

std::uint32_t PianoRoll::TimeAt(int x) const {
    return TimeAtX(horizontalScrollBar()->value(), x, state_.widthDivider);
}

std::optional<int> PianoRoll::KeyAt(int y) const {
    return KeyAtY(y, state_.rowHeight, verticalScrollBar()->value());
}

// The drag mode is set before each request of a press is sent: the parent may open a message box
// while it handles the request, and the capture lost to that box must end the drag for good.
void PianoRoll::LeftPress(int x, int y) {
    FinishDrag();
    holdsCapture_ = true;
    if (y < kRulerHeight) {
        PressInRuler(x);
        return;
    }
    const std::optional<int> key = KeyAt(y);
    if (!key) {
        return;
    }
    const std::uint32_t timeMs = TimeAt(x);
    PressOnRoll(timeMs, *key);
    state_.soundingKey = *key;
    state_.dragMode = DragMode::Roll;
    emit NoteSoundRequested(*key, timeMs);
}

void PianoRoll::PressInRuler(int x) {
    if (!state_.document) {
        return;
    }
    state_.cursorTime = TimeAt(x);
    state_.dragMode = DragMode::PlayCursor;
    emit SeekRequested(state_.cursorTime);
    Repaint();
}

// Selects the note under the press and, unless the player holds the lock, starts moving it, or
// resizing it when the press lies beyond four fifths of it or on its last millisecond.
void PianoRoll::PressOnRoll(std::uint32_t timeMs, int key) {
    if (!state_.document) {
        return;
    }
    Event* note = FindNoteAt(*state_.document, state_.visibleTrack, timeMs, key);
    state_.selectedNote = note;
    if (note && !state_.editLock) {
        const std::uint32_t start = note->time;
        const std::uint32_t gate = EventGate(*note);
        const auto fourFifths = static_cast<std::uint32_t>(std::uint64_t{gate} * 4 / 5);
        if (timeMs > start + fourFifths || timeMs > start + gate - 2) {
            state_.resizingNote = note;
        } else {
            state_.movingNote = note;
            state_.moveOffset = static_cast<std::int32_t>(start - timeMs);
        }
    }
    Repaint();
}

void PianoRoll::DragPlayCursor(int x) {
    state_.cursorTime = TimeAt(x);
    emit SeekRequested(state_.cursorTime);
    Repaint();
}

void PianoRoll::DragOnRoll(int x, int y) {
    if (y < kRulerHeight) {
        return;
    }
    const std::uint32_t timeMs = TimeAt(x);
    const std::optional<int> key = KeyAt(y);
    if (state_.movingNote && state_.document) {
        DragMovingNote(timeMs, key);
    }
    if (state_.resizingNote && state_.document) {
        DragResizingNote(timeMs);
    }
    if (state_.dragPreview && key && *key != state_.soundingKey) {
        emit NoteStopRequested();
        state_.soundingKey = *key;
        emit NoteSoundRequested(*key, timeMs);
    }
}

void PianoRoll::DragMovingNote(std::uint32_t timeMs, std::optional<int> key) {
    session_.MoveNote(*state_.movingNote, std::int64_t{timeMs} + state_.moveOffset, key,
                      RemovalNotice());
    Repaint();
}

void PianoRoll::DragResizingNote(std::uint32_t timeMs) {
    session_.ResizeNote(*state_.resizingNote, timeMs, RemovalNotice());
    Repaint();
}

void PianoRoll::LeftRelease() {
    holdsCapture_ = false;
    if (state_.movingNote || state_.resizingNote) {
        state_.movingNote = nullptr;
        state_.resizingNote = nullptr;
        Repaint();
    }
    session_.FinishGesture();
    emit NoteStopRequested();
    state_.soundingKey = -1;
    state_.dragMode = DragMode::None;
}

// Inserts a note where there is none; the parent hears of every double-click on a key row.
void PianoRoll::LeftDoubleClick(int x, int y) {
    if (y < kRulerHeight) {
        return;
    }
    const std::optional<int> key = KeyAt(y);
    if (!key) {
        return;
    }
    const std::uint32_t timeMs = TimeAt(x);
    Smaf* document = state_.document;
    if (document && !FindNoteAt(*document, state_.visibleTrack, timeMs, *key)) {
        const int track = state_.visibleTrack == -1 ? 0 : state_.visibleTrack;
        session_.InsertNote(timeMs, track, *key, RemovalNotice());
        CommitWhenNoDrag();
        Repaint();
    }
    emit DoubleClicked(*key, timeMs);
}

// An edit made while the left button drags belongs to the drag's step, which its release ends.
void PianoRoll::CommitWhenNoDrag() {
    if (!holdsCapture_) {
        session_.FinishGesture();
    }
}

void PianoRoll::RightPress(int x, int y) {
    if (y < kRulerHeight) {
        return;
    }
    const std::optional<int> key = KeyAt(y);
    Smaf* document = state_.document;
    Event* note =
        key && document ? FindNoteAt(*document, state_.visibleTrack, TimeAt(x), *key) : nullptr;
    if (note && state_.editLock) {
        state_.selectedNote = note;
    } else if (note) {
        session_.DeleteNote(*note, ForgettingNotice());
        CommitWhenNoDrag();
    }
    Repaint();
}

void PianoRoll::DeleteSelectedNote() {
    if (!state_.selectedNote || !state_.document || state_.editLock) {
        return;
    }
    session_.DeleteNote(*state_.selectedNote, ForgettingNotice());
    CommitWhenNoDrag();
    Repaint();
}

void PianoRoll::MiddlePress(int x, int y) {
    if (y < kRulerHeight) {
        return;
    }
    if (const std::optional<int> key = KeyAt(y)) {
        emit MiddleClicked(*key, TimeAt(x));
    }
}

}  // namespace rolvik
