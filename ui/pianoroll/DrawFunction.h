#pragma once

#include <QPainter>
#include <QWidget>
#include <functional>

namespace rolvik {

// Draws a whole picture of width x height pixels with its top-left corner at (0, 0).
using PictureFunction = std::function<void(QPainter& painter, int width, int height)>;

// Paints the widget's whole area by the setting drawFunction: 1 through an RGB image that is then
// copied, 2 through a pixmap of the screen's format that is then copied, anything else straight
// onto the widget. All three give the same picture; the copies avoid flicker. Call from the
// widget's paint event.
void PaintWithDrawFunction(QWidget& target, int drawFunction, const PictureFunction& draw);

}  // namespace rolvik
