#include "DrawFunction.h"

#include <QImage>
#include <QPixmap>

namespace rolvik {
namespace {

template <typename Surface>
void DrawOnSurface(Surface& surface, qreal pixelRatio, int width, int height,
                   const PictureFunction& draw) {
    surface.setDevicePixelRatio(pixelRatio);
    QPainter painter(&surface);
    draw(painter, width, height);
}

}  // namespace

void PaintWithDrawFunction(QWidget& target, int drawFunction, const PictureFunction& draw) {
    const int width = target.width();
    const int height = target.height();
    if (width <= 0 || height <= 0) {
        return;
    }
    const qreal pixelRatio = target.devicePixelRatioF();
    const QSize surfaceSize = QSize(width, height) * pixelRatio;
    QPainter window(&target);
    if (drawFunction == 1) {
        QImage image(surfaceSize, QImage::Format_RGB888);
        DrawOnSurface(image, pixelRatio, width, height, draw);
        window.drawImage(0, 0, image);
    } else if (drawFunction == 2) {
        QPixmap pixmap(surfaceSize);
        DrawOnSurface(pixmap, pixelRatio, width, height, draw);
        window.drawPixmap(0, 0, pixmap);
    } else {
        draw(window, width, height);
    }
}

}  // namespace rolvik
