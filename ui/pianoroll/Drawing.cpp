#include "Drawing.h"

#include <QByteArray>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QStandardPaths>
#include <QStringDecoder>

namespace rolvik {
namespace {

// "ＭＳ ゴシック" as stored by the program, in Shift-JIS.
constexpr char kGothicFaceShiftJis[] = "\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E";
constexpr int kTextHeightPx = 12;
// Terminus (Debian fonts-terminus-otb) has a 6 x 12 bitmap strike, the cell of the system face's
// half-width glyphs. The outline faces that stand in for that face have no bitmaps at 12 pixels,
// and drawn without smoothing into a 6-pixel cell the strokes of "M", "W" or "m" merge into blocks.
constexpr char kBitmapFaceFile[] = "fonts/opentype/terminus/terminus-normal.otb";
// A bitmap strike drawn on a screen of more than one device pixel per pixel keeps its size in
// device pixels while the text's advances grow with the screen: there the views draw with
// NanumGothicCoding (Debian fonts-nanum), an outline face whose 12-pixel cell is 6 x 12 like the
// bitmap face's, so the layout stays the same. It also brings the hangul of Korean songs' text.
constexpr char kScalableFace[] = "NanumGothicCoding";
constexpr char kJapaneseFace[] = "IPAGothic";

QString GothicFaceName() {
    QStringDecoder decoder("Shift_JIS");
    return decoder.decode(QByteArray(kGothicFaceShiftJis));
}

// The system's font configuration hides bitmap-only faces from applications, so the face is
// registered from its file. Answers its family name, or nothing when the file is not installed.
QString RegisterBitmapFace() {
    const QString path =
        QStandardPaths::locate(QStandardPaths::GenericDataLocation, kBitmapFaceFile);
    const int id = path.isEmpty() ? -1 : QFontDatabase::addApplicationFont(path);
    return QFontDatabase::applicationFontFamilies(id).value(0);
}

QStringList BitmapGothicFamilies() {
    QStringList families{GothicFaceName()};
    const QString bitmapFace = RegisterBitmapFace();
    if (!bitmapFace.isEmpty()) {
        families.append(bitmapFace);
    }
    families.append({kJapaneseFace, kScalableFace});
    return families;
}

QStringList ScalableGothicFamilies() {
    return {GothicFaceName(), kScalableFace, kJapaneseFace};
}

}  // namespace

void FillSolidRect(QPainter& painter, int left, int top, int right, int bottom,
                   const QColor& colour) {
    if (right <= left || bottom <= top) {
        return;
    }
    painter.fillRect(QRect(left, top, right - left, bottom - top), colour);
}

void DrawLine(QPainter& painter, int x1, int y1, int x2, int y2, const QColor& colour) {
    if (x1 == x2) {
        const int top = y1 <= y2 ? y1 : y2 + 1;
        const int bottom = y1 <= y2 ? y2 : y1 + 1;
        FillSolidRect(painter, x1, top, x1 + 1, bottom, colour);
    } else if (y1 == y2) {
        const int left = x1 <= x2 ? x1 : x2 + 1;
        const int right = x1 <= x2 ? x2 : x1 + 1;
        FillSolidRect(painter, left, y1, right, y1 + 1, colour);
    }
}

QSize DrawTextAt(QPainter& painter, const TextPen& pen, const QString& text) {
    const QFontMetrics metrics = painter.fontMetrics();
    const QSize cell(metrics.horizontalAdvance(text), metrics.height());
    if (pen.background) {
        painter.fillRect(QRect(pen.position, cell), *pen.background);
    }
    painter.setPen(pen.textColour);
    painter.drawText(pen.position.x(), pen.position.y() + metrics.ascent(), text);
    return cell;
}

void PrintLine(QPainter& painter, TextPen& pen, const QString& text) {
    pen.position.ry() += DrawTextAt(painter, pen, text).height();
}

QFont GothicFont(qreal pixelRatio) {
    QFont font;
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(kTextHeightPx);
    if (pixelRatio == 1.0) {
        static const QStringList bitmapFamilies = BitmapGothicFamilies();
        font.setFamilies(bitmapFamilies);
        font.setStyleStrategy(QFont::NoAntialias);
    } else {
        static const QStringList scalableFamilies = ScalableGothicFamilies();
        font.setFamilies(scalableFamilies);
    }
    return font;
}

QFont GothicFont(const QPainter& painter) {
    return GothicFont(painter.device() ? painter.device()->devicePixelRatioF() : 1.0);
}

}  // namespace rolvik
