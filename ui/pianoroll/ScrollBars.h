#pragma once

#include <QAbstractScrollArea>
#include <QEvent>
#include <QScrollBar>

namespace rolvik {

// The scroll-bar codes of the platform's scroll messages.
enum ScrollRequest {
    kLineUp = 0,
    kLineDown = 1,
    kPageUp = 2,
    kPageDown = 3,
    kThumbPosition = 4,
    kThumbTrack = 5,
    kTop = 6,
    kBottom = 7,
};

// Gives the bar the range 0..maximum with the page, keeping the platform's rule that a position
// never exceeds maximum - page + 1: that value becomes the bar's own maximum. A bar with nothing
// to scroll stays visible but disabled.
void SetScrollRange(QScrollBar& bar, int maximum, int page);

// Moves the bar as the platform's scroll message with this request would: line steps stop at the
// ends, page steps and the thumb are clamped by the bar, unknown requests leave it where it is.
void ApplyScrollRequest(QScrollBar& bar, int request, int thumbPosition);

// The platform hands the wheel over a window's scroll bars to the window itself, so one rule
// scrolls whatever part of the window the pointer is over. These let the area see the wheel events
// of its bars in its eventFilter, where IsWheelOverBars picks them out.
void WatchWheelOverBars(QAbstractScrollArea& area);
bool IsWheelOverBars(const QAbstractScrollArea& area, const QObject* watched, const QEvent& event);

}  // namespace rolvik
