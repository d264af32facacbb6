#include "DetailView.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "DrawDetailReport.h"
#include "report/DetailReport.h"
#include "ui/pianoroll/DrawFunction.h"
#include "ui/pianoroll/ScrollBars.h"

namespace rolvik {
namespace {

constexpr int kHorizontalMaximum = 65535;
constexpr int kHorizontalPage = 10;
constexpr int kVerticalPage = 3;

}  // namespace

DetailView::DetailView(QWidget* parent)
    : QAbstractScrollArea(parent), playPositionMs_([] { return std::uint32_t{0}; }) {
    setWindowFlag(Qt::Window);
    setObjectName(QStringLiteral("RolvikDetailWC"));
    setWindowTitle(QStringLiteral("Rolvik - DetailView"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    WatchWheelOverBars(*this);
    UpdateScrollRanges();
}

void DetailView::SetDocument(Smaf* document) {
    detailDocument_ = document;
    viewport()->update();
}

void DetailView::SetPlayPositionSource(std::function<std::uint32_t()> playPositionMs) {
    playPositionMs_ = std::move(playPositionMs);
}

void DetailView::Scroll(Qt::Orientation orientation, int request, int thumbPosition) {
    QScrollBar& bar = orientation == Qt::Horizontal ? *horizontalScrollBar() : *verticalScrollBar();
    ApplyScrollRequest(bar, request, thumbPosition);
    viewport()->update();
}

// The report is rebuilt for every paint. When its length differs from the last one, the vertical
// range follows and one more paint shows the text with the corrected range.
void DetailView::paintEvent(QPaintEvent*) {
    const DetailReport report = BuildDetailReport(detailDocument_, playPositionMs_());
    const DetailColours colours{palette().color(QPalette::Base), palette().color(QPalette::Text),
                                palette().color(QPalette::Button), CurrentSettings().trackColours};
    const int columns = horizontalScrollBar()->value();
    const int lines = verticalScrollBar()->value();
    PaintWithDrawFunction(
        *viewport(), CurrentSettings().drawFunction, [&](QPainter& painter, int width, int height) {
            DrawDetailReport(painter, report, colours, columns, lines, width, height);
        });
    const int reportLines = static_cast<int>(report.lines.size());
    if (reportLines != lineCount_) {
        lineCount_ = reportLines;
        UpdateScrollRanges();
    }
}

void DetailView::resizeEvent(QResizeEvent*) {
    UpdateScrollRanges();
}

void DetailView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_PageUp:
            PostScroll(Qt::Vertical, kPageUp);
            break;
        case Qt::Key_PageDown:
            PostScroll(Qt::Vertical, kPageDown);
            break;
        case Qt::Key_Up:
            PostScroll(Qt::Vertical, kLineUp);
            break;
        case Qt::Key_Down:
            PostScroll(Qt::Vertical, kLineDown);
            break;
        case Qt::Key_Left:
            PostScroll(Qt::Horizontal, kLineUp);
            break;
        case Qt::Key_Right:
            PostScroll(Qt::Horizontal, kLineDown);
            break;
        default:
            event->ignore();
            return;
    }
    event->accept();
}

// Every notch of the vertical wheel moves one page of three lines, whatever the size of its delta.
// A sideways wheel or swipe has no vertical part and scrolls nothing.
void DetailView::wheelEvent(QWheelEvent* event) {
    event->accept();
    const int delta = event->angleDelta().y();
    if (delta != 0) {
        PostScroll(Qt::Vertical, delta > 0 ? kPageUp : kPageDown);
    }
}

bool DetailView::eventFilter(QObject* watched, QEvent* event) {
    if (IsWheelOverBars(*this, watched, *event)) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void DetailView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        viewport()->update();
    }
    event->accept();
}

void DetailView::closeEvent(QCloseEvent* event) {
    hide();
    event->ignore();
}

void DetailView::UpdateScrollRanges() {
    SetScrollRange(*horizontalScrollBar(), kHorizontalMaximum, kHorizontalPage);
    SetScrollRange(*verticalScrollBar(), lineCount_, kVerticalPage);
    viewport()->update();
}

// Keys and the wheel queue their scroll behind the events already waiting, as a posted message.
void DetailView::PostScroll(Qt::Orientation orientation, int request) {
    QMetaObject::invokeMethod(
        this, [this, orientation, request] { Scroll(orientation, request); }, Qt::QueuedConnection);
}

}  // namespace rolvik
