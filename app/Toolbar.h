#pragma once

#include <QIcon>
#include <QImage>
#include <vector>

class QSlider;
class QToolBar;

namespace rolvik {

class PlaybackController;

inline constexpr int kToolbarImageWidth = 16;

// Cuts a strip of toolbar images into 16-pixel-wide cells, magenta (255, 0, 255) becoming
// transparent. The cells of `doubleStrip`, the same images at twice the size, serve screens of two
// device pixels per pixel.
std::vector<QIcon> CutToolbarStrip(const QImage& strip, const QImage& doubleStrip = {});

// The toolbar images from the program's resources; none when the strip is missing.
std::vector<QIcon> ToolbarImages();

// Adds the volume slider (0 to 127) at the toolbar's end. It shows and sets the players' volume,
// the setting that Shift+V enters too.
QSlider* AddVolumeControl(QToolBar& toolbar, PlaybackController& playback);

}  // namespace rolvik
