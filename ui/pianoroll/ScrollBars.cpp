#include "ScrollBars.h"

#include <QtGlobal>

namespace rolvik {

void SetScrollRange(QScrollBar& bar, int maximum, int page) {
    bar.setRange(0, qMax(0, maximum - page + 1));
    bar.setPageStep(page);
    bar.setSingleStep(1);
    bar.setEnabled(bar.maximum() > bar.minimum());
}

void ApplyScrollRequest(QScrollBar& bar, int request, int thumbPosition) {
    const int platformMaximum = bar.maximum() + bar.pageStep() - 1;
    int position = bar.value();
    switch (request) {
        case kLineUp:
            position -= position > bar.minimum() ? 1 : 0;
            break;
        case kLineDown:
            position += position < platformMaximum - 1 ? 1 : 0;
            break;
        case kPageUp:
            position -= bar.pageStep();
            break;
        case kPageDown:
            position += bar.pageStep();
            break;
        case kThumbPosition:
        case kThumbTrack:
            position = static_cast<quint16>(thumbPosition);
            break;
        case kTop:
            position = bar.minimum();
            break;
        case kBottom:
            position = platformMaximum;
            break;
        default:
            break;
    }
    bar.setValue(position);
}

void WatchWheelOverBars(QAbstractScrollArea& area) {
    area.horizontalScrollBar()->installEventFilter(&area);
    area.verticalScrollBar()->installEventFilter(&area);
}

bool IsWheelOverBars(const QAbstractScrollArea& area, const QObject* watched, const QEvent& event) {
    return event.type() == QEvent::Wheel &&
           (watched == area.horizontalScrollBar() || watched == area.verticalScrollBar());
}

}  // namespace rolvik
