#include <gtest/gtest.h>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <map>

#include "tests/support/QtTestApplication.h"
#include "ui/pianoroll/Drawing.h"

namespace rolvik {
namespace {

constexpr char kFirstPrintable = 0x21;
constexpr char kLastPrintable = 0x7E;

// One character drawn black on white into its cell, as both views draw their texts.
QImage Glyph(QChar character) {
    const QFont font = GothicFont();
    const QFontMetrics metrics(font);
    QImage image(metrics.horizontalAdvance(character), metrics.height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(font);
    DrawTextAt(painter, TextPen{}, QString(character));
    return image;
}

bool IsInk(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 128;
}

bool IsSolid(const QImage& image, int left, int top, int width, int height) {
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            if (!IsInk(image, x, y)) {
                return false;
            }
        }
    }
    return true;
}

// Strokes one pixel wide never fill two columns over three rows or three columns over two; where
// they do, neighbouring strokes have merged and the glyph reads as a block.
bool HasMergedStrokes(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool tall = x + 2 <= image.width() && y + 3 <= image.height();
            const bool wide = x + 3 <= image.width() && y + 2 <= image.height();
            if ((tall && IsSolid(image, x, y, 2, 3)) || (wide && IsSolid(image, x, y, 3, 2))) {
                return true;
            }
        }
    }
    return false;
}

class TextFont : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::EnsureQtApplication(); }
};

// The report lines up its event columns with the width of "A" and steps one line per "A" height.
TEST_F(TextFont, IsFixedPitchAndTwelvePixelsHigh) {
    const QFontMetrics metrics(GothicFont());
    EXPECT_EQ(metrics.height(), 12);
    const int column = metrics.horizontalAdvance(QLatin1Char('A'));
    EXPECT_EQ(column, 6);
    for (char c = ' '; c <= kLastPrintable; ++c) {
        EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char(c)), column) << c;
    }
}

// The rows of ink of a "0" drawn for a screen of `pixelRatio` device pixels per pixel.
int InkHeightOfZero(qreal pixelRatio) {
    QImage image(QSize(12, 12) * pixelRatio, QImage::Format_RGB32);
    image.setDevicePixelRatio(pixelRatio);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(GothicFont(painter));
    DrawTextAt(painter, TextPen{}, QStringLiteral("0"));
    painter.end();
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (IsInk(image, x, y)) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

// On a denser screen the views keep their cell grid and the glyphs grow with it; a bitmap strike
// would keep its size in device pixels while its advances grew.
TEST_F(TextFont, KeepsItsCellAndGrowsWithTheScreensDensity) {
    const int atOne = InkHeightOfZero(1.0);
    for (const qreal ratio : {1.5, 2.0}) {
        const QFontMetrics metrics(GothicFont(ratio));
        EXPECT_EQ(metrics.height(), 12) << ratio;
        EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('A')), 6) << ratio;
        EXPECT_GE(InkHeightOfZero(ratio), atOne * ratio * 3 / 4) << ratio;
    }
}

TEST_F(TextFont, EveryCharacterOfTheProgramsTextsIsLegible) {
    std::map<QByteArray, char> seen;
    for (char c = kFirstPrintable; c <= kLastPrintable; ++c) {
        const QImage glyph = Glyph(QLatin1Char(c));
        EXPECT_FALSE(HasMergedStrokes(glyph)) << "'" << c << "' draws as a block";
        const QByteArray bits(reinterpret_cast<const char*>(glyph.constBits()),
                              static_cast<qsizetype>(glyph.sizeInBytes()));
        const auto [other, isNew] = seen.emplace(bits, c);
        EXPECT_TRUE(isNew) << "'" << c << "' looks like '" << other->second << "'";
        EXPECT_NE(glyph, Glyph(QLatin1Char(' '))) << "'" << c << "' draws nothing";
    }
}

}  // namespace
}  // namespace rolvik
