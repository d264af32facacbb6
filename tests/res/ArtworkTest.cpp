#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QImage>
#include <cstdlib>

#include "tools/artwork/ProgramIcon.h"
#include "tools/artwork/ToolbarStrip.h"

// The committed artwork must be what the generator draws today; after changing tools/artwork, run
// <build>/bin/rolvik-make-artwork res.

namespace rolvik {
namespace {

const QColor kTransparent(255, 0, 255);

QImage Rgb(const QImage& image) {
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The icon's rounded corners are antialiased, and where Qt takes other vector instructions the
// colour of a part-covered pixel comes out a level apart once its alpha is divided out for the PNG.
// Compared premultiplied, as drawn, those pixels agree; a small budget still covers coverage that
// rounds the other way, while a changed shape, radius or colour moves far more. The budget is one
// level in sixteen pixels, summed over the four channels, and 64 levels for the smallest sizes.
::testing::AssertionResult MatchesUpToAntialiasing(const QImage& committed, const QImage& drawn) {
    if (committed.size() != drawn.size()) {
        return ::testing::AssertionFailure() << "the sizes differ";
    }
    const QImage a = committed.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage b = drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    long long levels = 0;
    int pixels = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int difference = std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                                   std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
            levels += difference;
            pixels += difference > 0 ? 1 : 0;
        }
    }
    const long long allowed = static_cast<long long>(a.width()) * a.height() / 16 + 64;
    if (levels <= allowed) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << pixels << " pixels differ by " << levels << " levels in all, more than the "
           << allowed << " that antialiasing may explain";
}

TEST(ArtworkTest, CompiledInToolbarStripIsTheGeneratorsAndHoldsTwelveImages) {
    const QImage doubled(QStringLiteral(":/rolvik/toolbar@2x.png"));
    EXPECT_EQ(Rgb(doubled), Rgb(artwork::DrawToolbarStrip(2)));
    const QImage strip(QStringLiteral(":/rolvik/toolbar.png"));
    ASSERT_FALSE(strip.isNull());
    EXPECT_EQ(Rgb(strip), Rgb(artwork::DrawToolbarStrip()));
    EXPECT_EQ(Rgb(doubled.scaled(strip.size())), Rgb(strip)) << "the same images at twice the size";
    ASSERT_EQ(strip.size(), QSize(16 * 12, 16));
    for (int cell = 0; cell < 12; ++cell) {
        int transparent = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                transparent += strip.pixelColor(cell * 16 + x, y) == kTransparent;
            }
        }
        EXPECT_GT(transparent, 0) << "image " << cell << " has no transparent pixel";
        EXPECT_LT(transparent, 16 * 16 * 3 / 4) << "image " << cell << " is nearly empty";
    }
}

TEST(ArtworkTest, CommittedIconsAreTheGeneratorsAtTheirOwnSizes) {
    const QDir icons(QStringLiteral(ROLVIK_SOURCE_DIR "/res/icons"));
    const QStringList files = icons.entryList({QStringLiteral("rolvik-*.png")});
    EXPECT_GE(files.size(), 6);
    for (const QString& file : files) {
        const int size = file.section('-', 1).section('.', 0, 0).toInt();
        const QImage icon(icons.filePath(file));
        EXPECT_EQ(icon.size(), QSize(size, size)) << file.toStdString();
        EXPECT_TRUE(MatchesUpToAntialiasing(icon, artwork::DrawProgramIcon(size)))
            << file.toStdString();
    }
    EXPECT_TRUE(MatchesUpToAntialiasing(QImage(QStringLiteral(":/rolvik/icon.png")),
                                        artwork::DrawProgramIcon(256)));
}

TEST(ArtworkTest, CompiledInSvgIsTheGenerators) {
    QFile svg(QStringLiteral(":/rolvik/icon.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_EQ(svg.readAll(), artwork::ProgramIconSvg());
}

}  // namespace
}  // namespace rolvik
