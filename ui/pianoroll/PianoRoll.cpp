#include "PianoRoll.h"

#include <QMetaObject>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <limits>

#include "DrawFunction.h"
#include "PaintPianoRoll.h"
#include "PianoRollGeometry.h"
#include "ScrollBars.h"
#include "ui/settings/Settings.h"

namespace rolvik {
namespace {

// Keeps 128 rows of the tallest height, and the row arithmetic, within int.
constexpr qint64 kMaxRowHeight = std::numeric_limits<int>::max() / 256;

int ClampToInt(qint64 value) {
    return static_cast<int>(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max()));
}

}  // namespace

PianoRoll::PianoRoll(DocumentSession& session, QWidget* parent)
    : QAbstractScrollArea(parent), session_(session) {
    setObjectName(QStringLiteral("RolvikPRollWC"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    WatchWheelOverBars(*this);
    LoadDefaults();
    ShowDocument();
}

void PianoRoll::SetWidthDivider(int msPerPixel) {
    if (msPerPixel > 0) {
        const std::uint32_t viewStart = ViewStartTime();
        state_.widthDivider = msPerPixel;
        UpdateHorizontalRange();
        MoveView(viewStart, 0);
    }
}

void PianoRoll::SetRowHeight(int pixels) {
    if (pixels > 0) {
        state_.rowHeight = static_cast<int>(std::min<qint64>(pixels, kMaxRowHeight));
        UpdateScrollRanges();
    }
}

void PianoRoll::SetVisibleTrack(int track) {
    state_.visibleTrack = track;
}

void PianoRoll::SetPlayPosition(std::uint32_t timeMs) {
    state_.cursorTime = timeMs;
    Repaint();
}

void PianoRoll::SetStatusText(const char* text) {
    state_.statusText = text;
}

void PianoRoll::SetEditLock(bool locked) {
    state_.editLock = locked ? 1 : 0;
}

void PianoRoll::ClearSelection() {
    SetSelectedNote(nullptr);
}

void PianoRoll::Scroll(Qt::Orientation orientation, int request, int thumbPosition) {
    QScrollBar& bar = orientation == Qt::Horizontal ? *horizontalScrollBar() : *verticalScrollBar();
    ApplyScrollRequest(bar, request, thumbPosition);
    Repaint();
}

void PianoRoll::paintEvent(QPaintEvent*) {
    const PianoRollView view{state_,
                             horizontalScrollBar()->value(),
                             verticalScrollBar()->value(),
                             CurrentSettings().trackColours,
                             palette().color(QPalette::Button),
                             palette().color(QPalette::ButtonText)};
    PaintWithDrawFunction(*viewport(), CurrentSettings().drawFunction,
                          [&view](QPainter& painter, int width, int height) {
                              PaintPianoRoll(painter, view, width, height);
                          });
}

void PianoRoll::resizeEvent(QResizeEvent*) {
    UpdateScrollRanges();
}

// A notch of the vertical wheel scrolls one page, one key row; with Ctrl it zooms the time axis and
// with Ctrl and Shift the key rows, around the pointer. A sideways wheel or swipe has no vertical
// part and scrolls nothing; some platforms turn the wheel sideways while Shift is held, so the
// zoom of the rows takes either. The scroll is queued, like every other scroll request, behind the
// events already waiting.
void PianoRoll::wheelEvent(QWheelEvent* event) {
    event->accept();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const QPoint pointer = viewport()->mapFromGlobal(event->globalPosition()).toPoint();
    if (modifiers.testFlag(Qt::ControlModifier) && modifiers.testFlag(Qt::ShiftModifier)) {
        const QPoint angle = event->angleDelta();
        const int rowDelta = angle.y() != 0 ? angle.y() : angle.x();
        if (rowDelta != 0) {
            rowDelta > 0 ? TallerKeys(pointer.y()) : ShorterKeys(pointer.y());
        }
        return;
    }
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        return;
    }
    if (modifiers.testFlag(Qt::ControlModifier)) {
        ZoomTime(delta > 0, pointer.x());
        return;
    }
    const int request = delta > 0 ? kPageUp : kPageDown;
    QMetaObject::invokeMethod(
        this, [this, request] { Scroll(Qt::Vertical, request); }, Qt::QueuedConnection);
}

bool PianoRoll::eventFilter(QObject* watched, QEvent* event) {
    if (IsWheelOverBars(*this, watched, *event)) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

// The history's steps refer to the events of the document they were made on, and the session
// forgets them with the document; a gesture under way goes with them. A new song shows from its
// start, wherever the last one was left.
void PianoRoll::ShowDocument() {
    state_.document = session_.document();
    state_.selectedNote = nullptr;
    state_.movingNote = nullptr;
    state_.resizingNote = nullptr;
    UpdateScrollRanges();
    horizontalScrollBar()->setValue(0);
}

// The shell clears the selection before it rebuilds the event list, so a drag that is under way
// lets go of its note too rather than keep a reference to an event about to be freed.
void PianoRoll::SetSelectedNote(Event* note) {
    state_.selectedNote = note;
    if (!note) {
        state_.movingNote = nullptr;
        state_.resizingNote = nullptr;
    }
}

void PianoRoll::MoveView(qint64 timeMs, int offsetPx) {
    horizontalScrollBar()->setValue(ClampToInt(timeMs / state_.widthDivider + offsetPx));
}

std::uint32_t PianoRoll::ViewStartTime() const {
    return static_cast<std::uint32_t>(horizontalScrollBar()->value()) *
           static_cast<std::uint32_t>(state_.widthDivider);
}

void PianoRoll::LoadDefaults() {
    const Settings& settings = CurrentSettings();
    state_.widthDivider = settings.widthDivider;
    state_.rowHeight = settings.pianoRollHeight;
    state_.dragPreview = settings.dragPreview;
}

void PianoRoll::UpdateScrollRanges() {
    UpdateHorizontalRange();
    SetScrollRange(*verticalScrollBar(), kKeyCount * state_.rowHeight, state_.rowHeight);
    Repaint();
}

void PianoRoll::Repaint() {
    viewport()->update();
}

void PianoRoll::ForgetNote(const Event* note) {
    for (Event** reference : {&state_.selectedNote, &state_.movingNote, &state_.resizingNote}) {
        if (*reference == note) {
            *reference = nullptr;
        }
    }
}

EventRemovalNotice PianoRoll::RemovalNotice() {
    return [this](const Event& event) { emit EventRemoving(&event); };
}

// For events that may not come back: no reference of the window outlives them.
EventRemovalNotice PianoRoll::ForgettingNotice() {
    return [this](const Event& event) {
        ForgetNote(&event);
        emit EventRemoving(&event);
    };
}

// Also ends a drag whose capture went away without the release reaching this window, so that no
// note stays on the mouse and the previewed key stops.
void PianoRoll::FinishDrag() {
    if (holdsCapture_) {
        LeftRelease();
    }
}

}  // namespace rolvik
