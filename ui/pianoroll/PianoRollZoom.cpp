#include <QScrollBar>
#include <algorithm>
#include <limits>

#include "PianoRoll.h"
#include "PianoRollGeometry.h"
#include "ScrollBars.h"
#include "core/SongLength.h"
#include "edit/NoteEditing.h"

// How far the piano roll reaches and how much of it the window shows: the horizontal range that
// spans the song, the zoom of either axis around a point that stays put, and the fits to the
// window.

namespace rolvik {
namespace {

constexpr int kTallestZoomedRow = 48;
// Fitting leaves one key free above the highest note and below the lowest.
constexpr int kFitMarginKeys = 1;

// A quarter of the value a step, at least 1.
int ZoomStep(int value) {
    return std::max(1, value / 4);
}

int ClampToPixels(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, 0, std::numeric_limits<int>::max()));
}

struct KeySpan {
    int lowest = 0;
    int highest = kKeyCount - 1;
};

// The keys the visible notes play, with a margin; every key when there is no such note.
KeySpan PlayedKeys(const Smaf* document, int visibleTrack) {
    KeySpan span{kKeyCount, -1};
    for (const Event* event = document ? document->events.get() : nullptr; event;
         event = event->next.get()) {
        if (IsVisibleNote(*event, visibleTrack)) {
            span.lowest = std::min<int>(span.lowest, EventKey(*event));
            span.highest = std::max<int>(span.highest, EventKey(*event));
        }
    }
    if (span.highest < 0) {
        return KeySpan{};
    }
    return {std::max(0, span.lowest - kFitMarginKeys),
            std::min(kKeyCount - 1, span.highest + kFitMarginKeys)};
}

}  // namespace

// Read from the session, whose document the roll may not show yet: an open replaces the document
// and tells of it before the shell hands the new one to the roll.
std::uint32_t PianoRoll::SongLengthMs() const {
    const Smaf* document = session_.document();
    return document ? SongLength(*document) : 0;
}

// The bar spans the song and one screen after its end, so the end can be brought to the left edge
// at every scale, and a page is the screen's width.
void PianoRoll::UpdateHorizontalRange() {
    const std::int64_t songPixels =
        SongLengthMs() / static_cast<std::uint32_t>(state_.widthDivider);
    const int page = std::max(1, viewport()->width());
    SetScrollRange(*horizontalScrollBar(), ClampToPixels(songPixels + page - 1), page);
}

void PianoRoll::ZoomTimeAround(int msPerPixel, int anchorX) {
    if (msPerPixel <= 0) {
        return;
    }
    // The middle of the pointer's pixel column, so that zooming in and out again comes back.
    const std::uint32_t anchorTime =
        TimeAt(anchorX) + static_cast<std::uint32_t>(state_.widthDivider / 2);
    state_.widthDivider = msPerPixel;
    UpdateHorizontalRange();
    MoveView(anchorTime, -anchorX);
    Repaint();
}

// A quarter of the scale a notch, at least one ms per pixel, keeping the time under the pointer.
// A divider the keyboard entry would refuse (0 or less) is not taken either.
void PianoRoll::ZoomTime(bool in, int anchorX) {
    const int divider = state_.widthDivider;
    const std::int64_t zoomed =
        in ? std::int64_t{divider} - ZoomStep(divider) : std::int64_t{divider} + ZoomStep(divider);
    if (zoomed > 0 && zoomed <= std::numeric_limits<int>::max()) {
        ZoomTimeAround(static_cast<int>(zoomed), std::clamp(anchorX, 0, viewport()->width()));
    }
}

void PianoRoll::ZoomToFit() {
    const std::int64_t width = std::max(1, viewport()->width());
    const std::int64_t divider = (std::int64_t{SongLengthMs()} + width - 1) / width;
    state_.widthDivider = static_cast<int>(std::max<std::int64_t>(1, divider));
    UpdateHorizontalRange();
    MoveView(0, 0);
    Repaint();
}

// The key row at client y keeps its place on the screen.
void PianoRoll::SetRowHeightAround(int pixels, int anchorY) {
    const int anchor = std::max(0, anchorY - kRulerHeight);
    const std::int64_t contentY = std::int64_t{verticalScrollBar()->value()} + anchor;
    const std::int64_t oldHeight = state_.rowHeight;
    SetRowHeight(pixels);
    verticalScrollBar()->setValue(ClampToPixels(contentY * state_.rowHeight / oldHeight - anchor));
}

void PianoRoll::TallerKeys(int anchorY) {
    const int height = state_.rowHeight;
    SetRowHeightAround(std::min(kTallestZoomedRow, height + ZoomStep(height)), anchorY);
}

void PianoRoll::ShorterKeys(int anchorY) {
    const int height = state_.rowHeight;
    SetRowHeightAround(std::max(1, height - ZoomStep(height)), anchorY);
}

// The rows of the keys the visible notes play share the roll's height, the highest at the top,
// though no taller than the tallest zoom gives.
void PianoRoll::FitKeysToWindow() {
    const KeySpan keys = PlayedKeys(state_.document, state_.visibleTrack);
    const int rows = keys.highest - keys.lowest + 1;
    const int room = viewport()->height() - kRulerHeight;
    SetRowHeight(std::clamp(room / rows, 1, kTallestZoomedRow));
    verticalScrollBar()->setValue(state_.rowHeight * (kKeyCount - 1 - keys.highest));
}

int PianoRoll::ViewCentreY() const {
    return kRulerHeight + (viewport()->height() - kRulerHeight) / 2;
}

}  // namespace rolvik
