#pragma once

#include <QKeyEvent>
#include <QMenu>
#include <QWidget>
#include <optional>
#include <vector>

namespace rolvik {

// The View menu's contents: two columns side by side. The left holds the disabled label "Visible
// Track Only:", a separator and the tracks 1 to 8; the right starts at "All", then a separator
// and the tracks 9 to 16. Track items are drawn by us: a highlighted one in its track colour with a
// purple frame, the others plain.
class TrackMenuGrid : public QWidget {
    Q_OBJECT

  public:
    explicit TrackMenuGrid(QMenu* menu);

    QSize sizeHint() const override;

    // The track of the highlighted item (-1 for All), if any.
    std::optional<int> highlighted() const;

    // The text a track item shows, as "1:Track1(Silver)" or "Q:Track9(Black)".
    static QString TrackItemText(int track);

  signals:
    // -1 for All, else 0..15.
    void TrackChosen(int track);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Kind { Label, All, Separator, Track };
    struct Cell {
        Kind kind;
        int track;  // for Track and All (-1)
        QRect rect;
        // The track items and "All" are chosen; the label and the separator only take room.
        bool choosable() const { return kind == Kind::Track || kind == Kind::All; }
    };

    void Layout();
    int CellAt(QPoint position) const;
    void Highlight(int cell);
    void MoveHighlight(int key);
    void Choose(int cell);
    bool HandleKey(const QKeyEvent& event);
    void PaintStandardItem(QPainter& painter, const Cell& cell, bool selected) const;
    void PaintTrackItem(QPainter& painter, const Cell& cell, bool selected) const;

    QMenu* menu_;
    std::vector<Cell> cells_;
    int highlighted_ = -1;
    QSize size_;
};

// Adds the grid to the menu and returns it.
TrackMenuGrid* FillViewMenu(QMenu& menu);

}  // namespace rolvik
