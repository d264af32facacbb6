#pragma once

#include <QAbstractScrollArea>
#include <QtGlobal>
#include <cstdint>
#include <optional>

#include "PianoRollState.h"
#include "edit/DocumentSession.h"

namespace rolvik {

// The piano roll: the document's notes as bars on a grid of 128 key rows, time running to the
// right under a 12-pixel ruler, with the play cursor. It turns the mouse into times and keys and
// edits through the document's session. The shell drives it through its typed methods and hears
// from it through one signal per request, each of which must be connected with
// Qt::DirectConnection: callers rely on the request having been handled when the emit returns.
class PianoRoll : public QAbstractScrollArea {
    Q_OBJECT

  public:
    // Shows and edits the document of `session`, which outlives the roll.
    explicit PianoRoll(DocumentSession& session, QWidget* parent = nullptr);

    const PianoRollState& state() const { return state_; }

    // A scroll request on one bar, with the codes of the platform's scroll messages: 0 line up,
    // 1 line down, 2 page up, 3 page down, 4 and 5 thumb at `thumbPosition`, 6 top, 7 bottom.
    void Scroll(Qt::Orientation orientation, int request, int thumbPosition = 0);
    // The Delete key: deletes the selected note as a right press on it would; while the edit lock
    // is set, a right press only selects, and so the key does nothing.
    void DeleteSelectedNote();

    // Shows the session's document from its start, with nothing selected: call it whenever the
    // session has a new one.
    void ShowDocument();
    // The horizontal range spans the song's length and one screen more, the vertical one the 128
    // rows: call it whenever an edit may have changed the song's length.
    void UpdateScrollRanges();
    // The song's end in ms, 0 without a document.
    std::uint32_t SongLengthMs() const;

    void MoveView(qint64 timeMs, int offsetPx);
    void SetWidthDivider(int msPerPixel);
    int widthDivider() const { return state_.widthDivider; }
    void SetRowHeight(int pixels);
    int rowHeight() const { return state_.rowHeight; }
    // The view's zooms. The key rows keep the row at client y `anchorY` in its place.
    void ZoomToFit();
    void TallerKeys(int anchorY);
    void ShorterKeys(int anchorY);
    void FitKeysToWindow();
    // The client y in the middle of the key rows shown, for a zoom that has no pointer to keep.
    int ViewCentreY() const;
    void SetVisibleTrack(int track);
    int visibleTrack() const { return state_.visibleTrack; }
    std::uint32_t ViewStartTime() const;
    void SetPlayPosition(std::uint32_t timeMs);
    // The text stays the caller's and must live while it is shown; null shows none.
    void SetStatusText(const char* text);
    const char* statusText() const { return state_.statusText; }
    // While set, clicks only select: the player owns the compiled bytes.
    void SetEditLock(bool locked);
    // Nothing selected, and a drag under way lets go of its note: the shell clears the selection
    // before it rebuilds the event list, rather than keep a reference to an event about to go.
    void ClearSelection();
    // Selects a note of the document shown (null: none, as ClearSelection).
    void SetSelectedNote(Event* note);
    // The view's scale, row height and drag preview from the settings, leaving the ranges.
    void LoadDefaults();

    // Ends a drag under way as its release would, so that its edit is in the history.
    void FinishDrag();
    // Lets go of every reference to the note (selection, drag), which leaves the list for good.
    void ForgetNote(const Event* note);

  signals:
    // A press or a drag in the ruler put the play cursor at `timeMs`.
    void SeekRequested(quint32 timeMs);
    // A press on a key row, or a drag onto another, asks to hear `key`.
    void NoteSoundRequested(int key, quint32 timeMs);
    // The key asked for last is to stop sounding.
    void NoteStopRequested();
    // A double-click on a key row, whether or not it inserted a note.
    void DoubleClicked(int key, quint32 timeMs);
    // A middle press on a key row.
    void MiddleClicked(int key, quint32 timeMs);
    // An edit is about to take the event out of the document's list (to free it, or to put it back
    // elsewhere). Connect with Qt::DirectConnection: the event is still linked while this runs.
    void EventRemoving(const rolvik::Event* event);

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
    // Ctrl with the wheel: the time axis zooms in (forward) or out around the pointer.
    void ZoomTime(bool in, int anchorX);
    // The scale changes keeping the time at client x `anchorX` in its place.
    void ZoomTimeAround(int msPerPixel, int anchorX);
    void SetRowHeightAround(int pixels, int anchorY);
    void UpdateHorizontalRange();
    void Repaint();
    EventRemovalNotice RemovalNotice();
    EventRemovalNotice ForgettingNotice();
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
    DocumentSession& session_;
    bool holdsCapture_ = false;  // between our own left press and its release
};

}  // namespace rolvik
