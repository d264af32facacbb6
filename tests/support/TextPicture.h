#pragma once

#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QString>

#include "ui/pianoroll/Drawing.h"

namespace rolvik::test {

// A text drawn on its own in the views' font: its cell (advance width by font height) in the
// background colour with the glyphs in the text colour. Comparing it with a region of a view shows
// that the view drew exactly this text there.
inline QImage TextPicture(const QString& text, const QColor& colour, const QColor& background) {
    const QFont font = GothicFont();
    const QFontMetrics metrics(font);
    QImage image(metrics.horizontalAdvance(text), metrics.height(), QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(0, metrics.ascent(), text);
    return image;
}

// Which pixels of the picture have the colour, as a black-on-white picture of the same size.
inline QImage PixelsOf(const QImage& picture, const QColor& colour) {
    QImage mask(picture.size(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            mask.setPixelColor(x, y, picture.pixelColor(x, y) == colour ? Qt::black : Qt::white);
        }
    }
    return mask;
}

}  // namespace rolvik::test
