#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPoint>
#include <QString>
#include <optional>

#include "ui/settings/Settings.h"

namespace rolvik {

inline QColor ToQColor(Rgb colour) {
    return QColor(colour.red, colour.green, colour.blue);
}

// Fills left..right-1, top..bottom-1 with one colour; an empty rectangle draws nothing.
void FillSolidRect(QPainter& painter, int left, int top, int right, int bottom,
                   const QColor& colour);

// A 1-pixel horizontal or vertical line from (x1, y1) towards (x2, y2), the end point excluded.
void DrawLine(QPainter& painter, int x1, int y1, int x2, int y2, const QColor& colour);

// Where the next text goes and how it looks: the text colour and, when set, the opaque background
// painted behind each text's cell (its advance width by the font's height).
struct TextPen {
    QPoint position;
    QColor textColour = Qt::black;
    std::optional<QColor> background;
};

// Draws the text with its top-left corner at the pen's position, in the painter's current font.
// Returns the size of the text's cell.
QSize DrawTextAt(QPainter& painter, const TextPen& pen, const QString& text);

// Draws the text at the pen's position and moves the pen down by the text's height, keeping x.
// The text is drawn as it is: it is never used as a format.
void PrintLine(QPainter& painter, TextPen& pen, const QString& text);

// The fixed-pitch Japanese system face, 12 pixels high in cells 6 pixels wide, for a screen of
// `pixelRatio` device pixels per pixel. Where that face is missing: at 1, drawn without smoothing
// like the bitmap glyphs it stands for, the Terminus bitmap face draws the characters it has; at
// any other ratio a smoothed outline face of the same cell does; IPAGothic draws Japanese and
// NanumGothicCoding hangul, and any monospaced face stands in for all of them.
QFont GothicFont(qreal pixelRatio = 1.0);

// GothicFont for the screen or picture the painter draws on.
QFont GothicFont(const QPainter& painter);

}  // namespace rolvik
