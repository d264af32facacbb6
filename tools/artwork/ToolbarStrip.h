#pragma once

#include <QImage>

namespace rolvik::artwork {

inline constexpr int kToolbarImageSizePx = 16;
inline constexpr int kToolbarImageCount = 12;

// The toolbar's images side by side, 16 x 16 pixels each, in image-index order: New, Load,
// Compile, Save, Close, EmuPlay, MidiPlay, Stop, Rewind, MidiReset, Show detail, Help Index.
// Magenta (255, 0, 255) marks the transparent pixels. Drawn pixel by pixel, since anything
// smoother turns to mud at this size. At `scale` 2, for screens of two device pixels per pixel,
// each pixel is a 2 x 2 block: sharp where the screen would otherwise smooth 16 pixels into 32.
QImage DrawToolbarStrip(int scale = 1);

}  // namespace rolvik::artwork
