#pragma once

#include <QColor>
#include <QPainter>
#include <array>

#include "PianoRollState.h"
#include "ui/settings/Settings.h"

namespace rolvik {

// Everything one picture of the piano roll depends on.
struct PianoRollView {
    const PianoRollState& state;
    int scrollX = 0;  // h, pixels
    int scrollY = 0;  // v, pixels
    const std::array<Rgb, kTrackCount>& trackColours;
    QColor buttonFace;  // ruler strip
    QColor buttonText;  // ruler labels
};

// Draws the whole piano roll, every one of the width x height pixels, and changes nothing else.
// Only what can be seen is drawn; the picture is the one a walk over every note would give.
void PaintPianoRoll(QPainter& painter, const PianoRollView& view, int width, int height);

}  // namespace rolvik
