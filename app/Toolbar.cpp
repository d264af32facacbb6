#include "Toolbar.h"

#include <QPixmap>
#include <QSlider>
#include <QToolBar>

#include "playback/PlaybackController.h"

namespace rolvik {
namespace {

constexpr int kLoudestVolume = 127;
constexpr int kVolumeSliderWidth = 100;

QImage WithMagentaTransparent(const QImage& strip) {
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
    return image;
}

}  // namespace

std::vector<QIcon> CutToolbarStrip(const QImage& strip, const QImage& doubleStrip) {
    const QImage image = WithMagentaTransparent(strip);
    const QImage doubled = WithMagentaTransparent(doubleStrip);
    constexpr int kDoubleWidth = 2 * kToolbarImageWidth;
    std::vector<QIcon> icons;
    for (int x = 0; x + kToolbarImageWidth <= image.width(); x += kToolbarImageWidth) {
        QIcon icon(QPixmap::fromImage(image.copy(x, 0, kToolbarImageWidth, image.height())));
        if (2 * x + kDoubleWidth <= doubled.width()) {
            QPixmap pixmap =
                QPixmap::fromImage(doubled.copy(2 * x, 0, kDoubleWidth, doubled.height()));
            pixmap.setDevicePixelRatio(2.0);
            icon.addPixmap(pixmap);
        }
        icons.push_back(icon);
    }
    return icons;
}

std::vector<QIcon> ToolbarImages() {
    return CutToolbarStrip(QImage(QStringLiteral(":/rolvik/toolbar.png")),
                           QImage(QStringLiteral(":/rolvik/toolbar@2x.png")));
}

QSlider* AddVolumeControl(QToolBar& toolbar, PlaybackController& playback) {
    auto* slider = new QSlider(Qt::Horizontal, &toolbar);
    slider->setObjectName(QStringLiteral("volume"));
    slider->setRange(0, kLoudestVolume);
    slider->setValue(playback.volume());
    slider->setFixedWidth(kVolumeSliderWidth);
    slider->setFocusPolicy(Qt::NoFocus);  // the window's keys stay the window's
    slider->setToolTip(QStringLiteral("Volume (Shift+V)"));
    slider->setAccessibleName(QStringLiteral("Volume"));
    QObject::connect(slider, &QSlider::valueChanged, slider,
                     [&playback](int volume) { playback.SetVolume(volume); });
    toolbar.addSeparator();
    toolbar.addWidget(slider);
    return slider;
}

}  // namespace rolvik
