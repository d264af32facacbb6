#include "DrawDetailReport.h"

#include <QFontMetrics>

#include "ui/pianoroll/Drawing.h"

namespace rolvik {
namespace {

const QColor kMarker(255, 0, 0);
const QColor kWhite(255, 255, 255);
constexpr int kFirstWhiteTextChannel = 8;

QColor Mix(const QColor& window, int windowWeight, const QColor& text, int textWeight) {
    const int total = windowWeight + textWeight;
    return QColor((window.red() * windowWeight + text.red() * textWeight) / total,
                  (window.green() * windowWeight + text.green() * textWeight) / total,
                  (window.blue() * windowWeight + text.blue() * textWeight) / total);
}

}  // namespace

LineColours ColoursOfLine(const ReportLine& line, const DetailColours& colours,
                          const QColor& fillColour) {
    switch (line.style) {
        case ReportStyle::Channel: {
            const int channel = line.channel & 0x0F;
            return {channel < kFirstWhiteTextChannel ? colours.windowText : kWhite,
                    ToQColor(colours.trackColours[channel])};
        }
        case ReportStyle::Faint:
            return {Mix(colours.window, 3, colours.windowText, 1), colours.window};
        case ReportStyle::Dim:
            return {Mix(colours.window, 1, colours.windowText, 2), colours.window};
        case ReportStyle::Plain:
            break;
    }
    return {colours.windowText, fillColour};
}

void DrawDetailReport(QPainter& painter, const DetailReport& report, const DetailColours& colours,
                      int columns, int lines, int width, int height) {
    painter.save();
    painter.setFont(GothicFont(painter));
    const QFontMetrics metrics = painter.fontMetrics();
    const int columnWidth = metrics.horizontalAdvance(QLatin1Char('A'));
    const int lineHeight = metrics.height();
    const QColor fillColour = report.hasDocument ? colours.window : colours.buttonFace;
    FillSolidRect(painter, 0, 0, width, height, fillColour);

    const int left = -columnWidth * columns;
    const int firstTop = -lineHeight * lines;
    for (std::size_t index = 0; index < report.lines.size(); ++index) {
        const int top = firstTop + static_cast<int>(index) * lineHeight;
        if (top + lineHeight <= 0) {
            continue;
        }
        if (top >= height) {
            break;
        }
        const ReportLine& line = report.lines[index];
        const LineColours lineColours = ColoursOfLine(line, colours, fillColour);
        TextPen pen{QPoint(left, top), lineColours.text, lineColours.background};
        PrintLine(painter, pen, QString::fromUtf8(line.text));
        if (report.markerLine == index) {
            DrawLine(painter, 0, top, width, top, kMarker);
        }
    }
    painter.restore();
}

}  // namespace rolvik
