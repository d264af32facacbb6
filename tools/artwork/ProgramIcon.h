#pragma once

#include <QByteArray>
#include <QImage>

namespace rolvik::artwork {

// The program's icon: a small piano roll, a keyboard on the left and notes in the track colours
// beside it, on a dark rounded square. It is drawn on a 16 x 16 grid so that every edge falls on a
// whole pixel at 16 pixels and at every multiple of 16.
QImage DrawProgramIcon(int sizePx);

// The same picture as a scalable SVG document.
QByteArray ProgramIconSvg();

}  // namespace rolvik::artwork
