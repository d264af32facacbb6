#pragma once

#include <QColor>
#include <QPainter>
#include <array>

#include "report/DetailReport.h"
#include "ui/settings/Settings.h"

namespace rolvik {

// The system colours the report is drawn in, and the track colours of the channel lines.
struct DetailColours {
    QColor window;
    QColor windowText;
    QColor buttonFace;
    std::array<Rgb, kTrackCount> trackColours;
};

// Text colour and text background of one line style.
struct LineColours {
    QColor text;
    QColor background;
};

LineColours ColoursOfLine(const ReportLine& line, const DetailColours& colours,
                          const QColor& fillColour);

// Draws the report on width x height pixels, scrolled by `columns` character columns and `lines`
// text lines, with the red marker across the top of the marker line. Lines that fall outside the
// picture are skipped, which draws the same picture as clipping them.
void DrawDetailReport(QPainter& painter, const DetailReport& report, const DetailColours& colours,
                      int columns, int lines, int width, int height);

}  // namespace rolvik
