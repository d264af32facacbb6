#include "Toolbar.h"

#include <QPixmap>

namespace rolvik {

std::vector<QIcon> CutToolbarStrip(const QImage& strip) {
    QImage image = strip.convertToFormat(QImage::Format_ARGB32);
    const QRgb magenta = qRgb(255, 0, 255);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0x00FFFFFF) == (magenta & 0x00FFFFFF)) {
                line[x] = qRgba(0, 0, 0, 0);
            }
        }
    }
    std::vector<QIcon> icons;
    for (int x = 0; x + kToolbarImageWidth <= image.width(); x += kToolbarImageWidth) {
        icons.emplace_back(
            QPixmap::fromImage(image.copy(x, 0, kToolbarImageWidth, image.height())));
    }
    return icons;
}

std::vector<QIcon> ToolbarImages() {
    return CutToolbarStrip(QImage(QStringLiteral(":/rolvik/toolbar.png")));
}

}  // namespace rolvik
