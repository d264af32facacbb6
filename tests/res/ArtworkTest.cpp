#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QImage>

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
        EXPECT_EQ(Rgb(icon), Rgb(artwork::DrawProgramIcon(size))) << file.toStdString();
    }
    EXPECT_EQ(Rgb(QImage(QStringLiteral(":/rolvik/icon.png"))), Rgb(artwork::DrawProgramIcon(256)));
}

TEST(ArtworkTest, CompiledInSvgIsTheGenerators) {
    QFile svg(QStringLiteral(":/rolvik/icon.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_EQ(svg.readAll(), artwork::ProgramIconSvg());
}

}  // namespace
}  // namespace rolvik
