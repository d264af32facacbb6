#include "PaintPianoRoll.h"

#include <QFontMetrics>
#include <algorithm>
#include <numeric>

#include "Drawing.h"
#include "PianoRollGeometry.h"
#include "edit/NoteEditing.h"

namespace rolvik {
namespace {

const QColor kBackground(255, 255, 255);
const QColor kGridLine(220, 220, 220);
const QColor kMajorLine(192, 192, 192);
const QColor kKeyLabel(192, 192, 192);
const QColor kCRow(240, 240, 240);
const QColor kNoteBorder(128, 64, 128);
const QColor kSelected(255, 0, 0);
const QColor kStartLine(0, 128, 0);
const QColor kStopLine(128, 0, 128);
const QColor kPlayCursor(255, 0, 0);

constexpr int kTimeGridStepMs = 100;
constexpr int kGrabMarkOverhangPx = 2;
constexpr const char* kKeyNames[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                       "F#", "G",  "G#", "A",  "A#", "B"};

// Pixel coordinates of far-away notes are pulled to just outside the picture, where they draw the
// same nothing without overflowing the painter's integer coordinates.
int Clamped(std::int64_t coordinate, int limit) {
    return static_cast<int>(std::clamp<std::int64_t>(coordinate, -1, std::int64_t{limit} + 1));
}

struct Frame {
    const PianoRollView& view;
    int width;
    int height;

    int rowHeight() const { return view.state.rowHeight; }
    int widthDivider() const { return view.state.widthDivider; }
    std::uint64_t startTime() const {
        return std::uint64_t(view.scrollX) * std::uint64_t(widthDivider());
    }
    std::uint64_t endTime() const {
        return startTime() + std::uint64_t(width) * std::uint64_t(widthDivider());
    }
    std::int64_t x(std::uint32_t timeMs) const {
        return XOfTime(timeMs, widthDivider(), view.scrollX);
    }
    void verticalLine(QPainter& painter, std::int64_t at, int top, const QColor& colour) const {
        if (at >= 0 && at < width) {
            DrawLine(painter, static_cast<int>(at), top, static_cast<int>(at), height, colour);
        }
    }
};

void PaintKeyGrid(QPainter& painter, const Frame& frame) {
    const int v = frame.view.scrollY;
    const int rowHeight = frame.rowHeight();
    for (int n = kKeyCount; n >= 0; --n) {
        const int y = rowHeight * n - v + kRulerHeight;
        if (y >= 0 && y < frame.height) {
            DrawLine(painter, 0, y, frame.width, y, kGridLine);
        }
        const int key = kKeyCount - 1 - n;
        if (key >= 0 && key % 12 == 0) {
            FillSolidRect(painter, 0, y + 1, frame.width, rowHeight * (n + 1) - v + kRulerHeight,
                          kCRow);
        }
    }
}

// Several 100 ms lines can fall into one pixel column when a pixel spans more than 100 ms; the last
// of them is the one that stays visible, so each column draws only that one.
void PaintTimeGrid(QPainter& painter, const Frame& frame) {
    const std::uint64_t divider = frame.widthDivider();
    const std::uint64_t majorStep = 50 * divider;
    const std::uint64_t start = frame.startTime();
    for (int x = 0; x < frame.width; ++x) {
        const std::uint64_t columnStart = start + x * divider;
        const std::uint64_t lastLine =
            (columnStart + divider - 1) / kTimeGridStepMs * kTimeGridStepMs;
        if (lastLine >= columnStart) {
            const QColor& colour = lastLine % majorStep == 0 ? kMajorLine : kGridLine;
            DrawLine(painter, x, kRulerHeight, x, frame.height, colour);
        }
    }
}

void PaintNote(QPainter& painter, const Frame& frame, const Event& note, const QColor& interior) {
    const std::uint32_t start = note.time;
    const std::uint32_t gate = EventGate(note);
    const std::int64_t left = frame.x(start);
    const std::int64_t right = frame.x(start + gate);
    const int key = EventKey(note);
    const int top = RowTop(key, frame.rowHeight(), frame.view.scrollY);
    const int bottom = top + frame.rowHeight();
    if (right < 0 || left >= frame.width || bottom + kGrabMarkOverhangPx <= 0 ||
        top - kGrabMarkOverhangPx >= frame.height) {
        return;
    }
    const bool selected = &note == frame.view.state.selectedNote;
    if (selected) {
        const auto grabPoint = static_cast<std::uint32_t>(start + std::uint64_t{gate} * 4 / 5);
        const std::int64_t markX = frame.x(grabPoint);
        if (markX >= 0 && markX < frame.width) {
            DrawLine(painter, static_cast<int>(markX), top - kGrabMarkOverhangPx,
                     static_cast<int>(markX), bottom + kGrabMarkOverhangPx, kSelected);
        }
    }
    const int w = frame.width;
    FillSolidRect(painter, Clamped(left, w), top, Clamped(right, w), bottom,
                  selected ? kSelected : kNoteBorder);
    FillSolidRect(painter, Clamped(left + 1, w), top + 1, Clamped(right - 1, w), bottom - 1,
                  interior);
}

void PaintNotes(QPainter& painter, const Frame& frame) {
    const Smaf* document = frame.view.state.document;
    if (!document) {
        return;
    }
    const int visibleTrack = frame.view.state.visibleTrack;
    for (const Event* event = document->events.get(); event; event = event->next.get()) {
        if (IsVisibleNote(*event, visibleTrack)) {
            PaintNote(painter, frame, *event,
                      ToQColor(frame.view.trackColours[EventChannel(*event)]));
        }
    }
}

// A name shows only in a row as tall as its text, where it cannot run into its neighbours'; it
// goes under the notes, which matter more than the name of their row.
void PaintKeyLabels(QPainter& painter, const Frame& frame) {
    TextPen pen;
    pen.textColour = kKeyLabel;
    const int lineHeight = painter.fontMetrics().height();
    if (frame.rowHeight() < lineHeight) {
        return;
    }
    for (int key = 0; key < kKeyCount; ++key) {
        pen.position = QPoint(1, RowTop(key, frame.rowHeight(), frame.view.scrollY) + 1);
        if (pen.position.y() + lineHeight <= 0 || pen.position.y() >= frame.height) {
            continue;
        }
        PrintLine(painter, pen,
                  QString::asprintf("%-2s %d=%d", kKeyNames[key % 12], key / 12 - 2, key));
    }
}

void PaintRuler(QPainter& painter, const Frame& frame) {
    FillSolidRect(painter, 0, 0, frame.width, kRulerHeight, frame.view.buttonFace);
    const std::uint64_t divider = frame.widthDivider();
    const std::uint64_t labelStep = std::lcm<std::uint64_t>(kTimeGridStepMs, 50 * divider);
    const std::uint64_t start = frame.startTime();
    TextPen pen;
    pen.textColour = frame.view.buttonText;
    for (std::uint64_t t = (start + labelStep - 1) / labelStep * labelStep; t < frame.endTime();
         t += labelStep) {
        pen.position = QPoint(static_cast<int>((t - start) / divider) + 2, 0);
        DrawTextAt(painter, pen, QString::asprintf("%llums", static_cast<unsigned long long>(t)));
    }
}

void PaintPositionLines(QPainter& painter, const Frame& frame) {
    const PianoRollState& state = frame.view.state;
    if (const Smaf* document = state.document) {
        if (document->start) {
            frame.verticalLine(painter, frame.x(document->StartOffset()), 0, kStartLine);
        }
        if (document->stop) {
            frame.verticalLine(painter, frame.x(document->stop->time), 0, kStopLine);
        }
    }
    frame.verticalLine(painter, frame.x(state.cursorTime), 0, kPlayCursor);
}

void PaintOverlayTexts(QPainter& painter, const Frame& frame) {
    const PianoRollState& state = frame.view.state;
    if (state.visibleTrack != -1) {
        const QString text = QString::asprintf("Viewing Track %d", state.visibleTrack + 1);
        const QFontMetrics metrics = painter.fontMetrics();
        TextPen pen{
            QPoint(frame.width - metrics.horizontalAdvance(text), frame.height - metrics.height()),
            QColor(255, 0, 0), QColor(255, 255, 255)};
        DrawTextAt(painter, pen, text);
    }
    // The status line clears the whole ruler strip under it, so that no ruler label shows on as
    // if it belonged to the value being typed.
    if (state.statusText) {
        FillSolidRect(painter, 0, 0, frame.width, painter.fontMetrics().height(),
                      QColor(255, 255, 255));
        TextPen pen{QPoint(0, 0), QColor(0, 0, 0), QColor(255, 255, 255)};
        DrawTextAt(painter, pen, QString::fromUtf8(state.statusText));
    }
}

}  // namespace

void PaintPianoRoll(QPainter& painter, const PianoRollView& view, int width, int height) {
    const Frame frame{view, width, height};
    painter.save();
    FillSolidRect(painter, 0, 0, width, height, kBackground);
    painter.setFont(GothicFont(painter));
    PaintKeyGrid(painter, frame);
    PaintTimeGrid(painter, frame);
    PaintKeyLabels(painter, frame);
    PaintNotes(painter, frame);
    PaintRuler(painter, frame);
    PaintPositionLines(painter, frame);
    PaintOverlayTexts(painter, frame);
    painter.restore();
}

}  // namespace rolvik
