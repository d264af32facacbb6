#pragma once

#include <QAbstractScrollArea>
#include <cstdint>
#include <functional>

#include "core/Smaf.h"

namespace rolvik {

// The detail window: the text report of the document it was last given, scrolled by character
// columns and text lines, with a red line at the play position. Closing it only hides it.
class DetailView : public QAbstractScrollArea {
    Q_OBJECT

  public:
    explicit DetailView(QWidget* parent = nullptr);

    // The document the report describes (not owned; null for none). Repaints.
    void SetDocument(Smaf* document);
    Smaf* document() const { return detailDocument_; }

    // Where the report's marker goes: the shell's absolute play position, read at every paint.
    void SetPlayPositionSource(std::function<std::uint32_t()> playPositionMs);

    // The number of report lines at the last paint; the vertical bar's maximum.
    int lineCount() const { return lineCount_; }

    // A scroll request on one bar with the platform's scroll codes (see ScrollRequest).
    void Scroll(Qt::Orientation orientation, int request, int thumbPosition = 0);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void UpdateScrollRanges();
    void PostScroll(Qt::Orientation orientation, int request);

    Smaf* detailDocument_ = nullptr;
    int lineCount_ = 0;
    std::function<std::uint32_t()> playPositionMs_;
};

}  // namespace rolvik
