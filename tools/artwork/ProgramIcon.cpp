#include "ProgramIcon.h"

#include <QColor>
#include <QPainter>
#include <QString>
#include <array>

namespace rolvik::artwork {
namespace {

constexpr double kGridUnits = 16.0;

// One filled rectangle of the icon, in grid units, with rounded corners when radius > 0.
struct Shape {
    double x;
    double y;
    double width;
    double height;
    double radius;
    QColor colour;
};

const QColor kBackground(35, 48, 74);
const QColor kWhiteKey(242, 242, 242);
const QColor kBlackKey(26, 26, 26);
const QColor kPlayLine(127, 147, 192);

// Back to front. The notes take the program's own track colours (Red, Yellow, Cyan, Green).
const std::array<Shape, 12> kShapes{{
    {0, 0, 16, 16, 2.5, kBackground},
    {1, 1, 4, 14, 0.5, kWhiteKey},
    {1, 2, 2, 1, 0, kBlackKey},
    {1, 4, 2, 1, 0, kBlackKey},
    {1, 7, 2, 1, 0, kBlackKey},
    {1, 9, 2, 1, 0, kBlackKey},
    {1, 11, 2, 1, 0, kBlackKey},
    {12, 1, 1, 14, 0, kPlayLine},
    {6, 2, 4, 2, 0.4, QColor(255, 128, 128)},
    {9, 5, 5, 2, 0.4, QColor(255, 255, 128)},
    {6, 8, 3, 2, 0.4, QColor(128, 255, 255)},
    {10, 11, 5, 2, 0.4, QColor(128, 255, 128)},
}};

QString Number(double value) {
    return QString::number(value, 'g', 4);
}

}  // namespace

QImage DrawProgramIcon(int sizePx) {
    QImage image(sizePx, sizePx, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.scale(sizePx / kGridUnits, sizePx / kGridUnits);
    for (const Shape& shape : kShapes) {
        painter.setBrush(shape.colour);
        painter.drawRoundedRect(QRectF(shape.x, shape.y, shape.width, shape.height), shape.radius,
                                shape.radius);
    }
    return image;
}

QByteArray ProgramIconSvg() {
    QString svg = QStringLiteral(
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
        "viewBox=\"0 0 16 16\">\n");
    for (const Shape& shape : kShapes) {
        svg += QStringLiteral(
                   "  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" "
                   "fill=\"%6\"/>\n")
                   .arg(Number(shape.x), Number(shape.y), Number(shape.width), Number(shape.height),
                        Number(shape.radius), shape.colour.name());
    }
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

}  // namespace rolvik::artwork
