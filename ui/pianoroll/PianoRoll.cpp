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

constexpr int kHorizontalMaximum = 65535;
constexpr int kHorizontalPage = 10;
// Keeps 128 rows of the tallest height, and the row arithmetic, within int.
constexpr qint64 kMaxRowHeight = std::numeric_limits<int>::max() / 256;

int ClampToInt(qint64 value) {
    return static_cast<int>(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max()));
}

}  // namespace

PianoRoll::PianoRoll(QWidget* parent) : QAbstractScrollArea(parent) {
    setObjectName(QStringLiteral("RolvikPRollWC"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::NoFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    WatchWheelOverBars(*this);
    LoadDefaults();
    UpdateScrollRanges();
}

qint64 PianoRoll::Command(PianoRollCommand operation, qint64 argument, int offsetPx) {
    switch (operation) {
        case PianoRollCommand::MoveView:
            MoveView(argument, offsetPx);
            return 0;
        case PianoRollCommand::SetWidthDivider:
            if (argument > 0) {
                const std::uint32_t viewStart = ViewStartTime();
                state_.widthDivider = ClampToInt(argument);
                MoveView(viewStart, 0);
            }
            return 0;
        case PianoRollCommand::SetRowHeight:
            if (argument > 0) {
                state_.rowHeight = static_cast<int>(std::min(argument, kMaxRowHeight));
                UpdateScrollRanges();
            }
            return 0;
        case PianoRollCommand::SetVisibleTrack:
            state_.visibleTrack = static_cast<int>(argument);
            return 0;
        case PianoRollCommand::GetWidthDivider:
            return state_.widthDivider;
        case PianoRollCommand::GetRowHeight:
            return state_.rowHeight;
        case PianoRollCommand::GetVisibleTrack:
            return state_.visibleTrack;
        case PianoRollCommand::GetViewStartTime:
            return ViewStartTime();
        case PianoRollCommand::SetDocument:
            SetDocument(reinterpret_cast<Smaf*>(argument));
            return 0;
        case PianoRollCommand::SetPlayPosition:
            state_.cursorTime = static_cast<std::uint32_t>(argument);
            Repaint();
            return 0;
        case PianoRollCommand::SetStatusText:
            state_.statusText = reinterpret_cast<const char*>(argument);
            return 0;
        case PianoRollCommand::GetStatusText:
            return reinterpret_cast<qint64>(state_.statusText);
        case PianoRollCommand::SetEditLock:
            state_.editLock = static_cast<int>(argument);
            return 0;
        case PianoRollCommand::LoadDefaults:
            LoadDefaults();
            return 0;
        case PianoRollCommand::SetSelectedNote:
            SetSelectedNote(reinterpret_cast<Event*>(argument));
            return 0;
    }
    return 0;
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

// A notch of the vertical wheel scrolls one page: one key row, or with Ctrl ten pixels of time. A
// sideways wheel or swipe has no vertical part and scrolls nothing. The scroll is queued, like
// every other scroll request, behind the events already waiting.
void PianoRoll::wheelEvent(QWheelEvent* event) {
    event->accept();
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        return;
    }
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        ZoomTime(delta > 0);
        return;
    }
    const int request = delta > 0 ? kPageUp : kPageDown;
    QMetaObject::invokeMethod(
        this, [this, request] { Scroll(Qt::Vertical, request); }, Qt::QueuedConnection);
}

// A quarter of the scale a notch, at least one ms per pixel, keeping the time at the left edge. A
// divider the keyboard entry would refuse (0 or less) is not taken either.
void PianoRoll::ZoomTime(bool in) {
    const qint64 divider = state_.widthDivider;
    const qint64 step = std::max<qint64>(1, divider / 4);
    const qint64 zoomed = in ? divider - step : divider + step;
    if (zoomed > 0 && zoomed <= std::numeric_limits<int>::max()) {
        Command(PianoRollCommand::SetWidthDivider, zoomed);
        Repaint();
    }
}

bool PianoRoll::eventFilter(QObject* watched, QEvent* event) {
    if (IsWheelOverBars(*this, watched, *event)) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

// The history's steps refer to the events of the document they were made on.
void PianoRoll::SetDocument(Smaf* document) {
    state_.document = document;
    state_.selectedNote = nullptr;
    state_.movingNote = nullptr;
    state_.resizingNote = nullptr;
    ForgetEdits();
    Repaint();
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
    SetScrollRange(*horizontalScrollBar(), kHorizontalMaximum, kHorizontalPage);
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

void PianoRoll::CommitEdit() {
    if (!pendingEdit_.touchedAny()) {
        return;
    }
    EditStep step = std::move(pendingEdit_);
    pendingEdit_ = EditStep();
    if (state_.document && step.Finish(*state_.document)) {
        edits_.Record(std::move(step));
        emit EditsChanged();
    }
}

// Also ends a drag whose capture went away without the release reaching this window, so that no
// note stays on the mouse and the previewed key stops.
void PianoRoll::FinishDrag() {
    if (holdsCapture_) {
        LeftRelease();
    }
}

void PianoRoll::Undo() {
    FinishDrag();
    if (state_.document && edits_.CanUndo()) {
        edits_.Undo(*state_.document, ForgettingNotice());
        Repaint();
        emit EditsChanged();
    }
}

void PianoRoll::Redo() {
    FinishDrag();
    if (state_.document && edits_.CanRedo()) {
        edits_.Redo(*state_.document, ForgettingNotice());
        Repaint();
        emit EditsChanged();
    }
}

// A gesture under way loses its record along with the history, so a drag that goes on afterwards
// starts a fresh step from the list as it is then.
void PianoRoll::ForgetEdits() {
    pendingEdit_ = EditStep();
    edits_.Clear();
    emit EditsChanged();
}

}  // namespace rolvik
