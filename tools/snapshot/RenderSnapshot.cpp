#include "RenderSnapshot.h"

#include <QScrollBar>
#include <algorithm>

#include "edit/NoteEditing.h"
#include "ui/detail/DetailView.h"
#include "ui/pianoroll/PianoRoll.h"
#include "ui/pianoroll/PianoRollGeometry.h"

namespace rolvik {
namespace {

// Sizes the scroll area so that its drawing area, between the frame and the scroll bars, is
// exactly width x height. The area is shown (never on a screen) so that it lays out at once.
void SetViewportSize(QAbstractScrollArea& area, int width, int height) {
    area.setAttribute(Qt::WA_DontShowOnScreen);
    area.resize(width, height);
    area.show();
    const QSize margin = area.size() - area.viewport()->size();
    area.resize(width + margin.width(), height + margin.height());
}

QImage Grab(QAbstractScrollArea& area) {
    return area.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

int CentredScrollY(const Smaf* document, int visibleTrack, int rowHeight, int height) {
    int lowest = 0;
    int highest = kKeyCount - 1;
    bool found = false;
    for (const Event* event = document ? document->events.get() : nullptr; event;
         event = event->next.get()) {
        if (IsVisibleNote(*event, visibleTrack)) {
            const int key = std::min<int>(EventKey(*event), kKeyCount - 1);
            lowest = found ? std::min(lowest, key) : key;
            highest = found ? std::max(highest, key) : key;
            found = true;
        }
    }
    const int middleY = (RowTop(lowest, rowHeight, 0) + RowBottom(highest, rowHeight, 0)) / 2;
    return std::max(0, middleY - kRulerHeight - (height - kRulerHeight) / 2);
}

QImage RenderPianoRollSnapshot(Smaf* document, const SnapshotRequest& request) {
    DocumentSession session;
    session.Lend(document);
    PianoRoll roll(session);
    SetViewportSize(roll, request.width, request.height);
    if (request.widthDivider) {
        roll.SetWidthDivider(*request.widthDivider);
    }
    if (request.rowHeight) {
        roll.SetRowHeight(*request.rowHeight);
    }
    roll.SetVisibleTrack(request.visibleTrack);
    roll.ShowDocument();
    roll.SetPlayPosition(request.positionMs);
    roll.horizontalScrollBar()->setValue(request.scrollX);
    roll.verticalScrollBar()->setValue(request.scrollY.value_or(
        CentredScrollY(document, request.visibleTrack, roll.state().rowHeight, request.height)));
    return Grab(roll);
}

// The first paint learns the report's length and sets the vertical range; the scroll positions are
// applied after it, so that they are clamped by the range the user would see.
QImage RenderDetailSnapshot(Smaf* document, const SnapshotRequest& request) {
    DetailView view;
    SetViewportSize(view, request.width, request.height);
    view.SetDocument(document);
    const std::uint32_t positionMs = request.positionMs;
    view.SetPlayPositionSource([positionMs] { return positionMs; });
    Grab(view);
    view.horizontalScrollBar()->setValue(request.scrollX);
    view.verticalScrollBar()->setValue(request.scrollY.value_or(0));
    return Grab(view);
}

}  // namespace rolvik
