#pragma once

#include <QAbstractScrollArea>
#include <QtGlobal>
#include <cstdint>
#include <optional>

#include "EditHistory.h"
#include "NoteEditing.h"
#include "PianoRollCommand.h"
#include "PianoRollState.h"

namespace rolvik {

// The piano roll: the document's notes as bars on a grid of 128 key rows, time running to the
// right under a 12-pixel ruler, with the play cursor. The shell drives it through Command and
// hears from it through Request, which must be connected with Qt::DirectConnection: callers rely on
// the request having been handled when the emit returns.
class PianoRoll : public QAbstractScrollArea {
    Q_OBJECT

  public:
    explicit PianoRoll(QWidget* parent = nullptr);

    // Runs one operation of PianoRollCommand. Pointers (document, status text, note) travel in
    // `argument`; `offsetPx` is MoveView's pixel offset. Unknown operations change nothing and
    // answer 0, as do operations without a result.
    qint64 Command(PianoRollCommand operation, qint64 argument, int offsetPx = 0);

    const PianoRollState& state() const { return state_; }

    // A scroll request on one bar, with the codes of the platform's scroll messages: 0 line up,
    // 1 line down, 2 page up, 3 page down, 4 and 5 thumb at `thumbPosition`, 6 top, 7 bottom.
    void Scroll(Qt::Orientation orientation, int request, int thumbPosition = 0);
    // The Delete key: deletes the selected note as a right press on it would; while the edit lock
    // is set, a right press only selects, and so the key does nothing.
    void DeleteSelectedNote();

    // Takes back the last edit, or makes again the last one taken back. A drag under way ends
    // first and is the edit taken back.
    void Undo();
    void Redo();
    // Ends a drag under way as its release would, so that its edit is in the history.
    void FinishDrag();
    // The edits can no longer be taken back: the shell is about to rebuild the event list.
    void ForgetEdits();
    const EditHistory& edits() const { return edits_; }

  signals:
    void Request(rolvik::PianoRollRequest kind, int note, quint32 timeMs);
    // An edit is about to take the event out of the document's list (to free it, or to put it back
    // elsewhere). Connect with Qt::DirectConnection: the event is still linked while this runs.
    void EventRemoving(const rolvik::Event* event);
    // An edit was made, taken back or made again, or the history was forgotten.
    void EditsChanged();

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void SetDocument(Smaf* document);
    void SetSelectedNote(Event* note);
    void MoveView(qint64 timeMs, int offsetPx);
    // Ctrl with the wheel: the time axis zooms in (forward) or out.
    void ZoomTime(bool in);
    std::uint32_t ViewStartTime() const;
    void LoadDefaults();
    void UpdateScrollRanges();
    void Repaint();
    void ForgetNote(const Event* note);
    EventRemovalNotice RemovalNotice();
    EventRemovalNotice ForgettingNotice();
    void CommitEdit();
    void CommitWhenNoDrag();

    std::uint32_t TimeAt(int x) const;
    std::optional<int> KeyAt(int y) const;
    void LeftPress(int x, int y);
    void PressInRuler(int x);
    void PressOnRoll(std::uint32_t timeMs, int key);
    void DragPlayCursor(int x);
    void DragOnRoll(int x, int y);
    void DragMovingNote(std::uint32_t timeMs, std::optional<int> key);
    void DragResizingNote(std::uint32_t timeMs);
    void LeftRelease();
    void LeftDoubleClick(int x, int y);
    void RightPress(int x, int y);
    void MiddlePress(int x, int y);

    PianoRollState state_;
    EditStep pendingEdit_;  // the changes of the gesture under way
    EditHistory edits_;
    bool holdsCapture_ = false;  // between our own left press and its release
};

}  // namespace rolvik
