#include <gtest/gtest.h>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "core/Loader.h"
#include "core/ShowMessage.h"
#include "tests/support/Corpus.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/TextPicture.h"
#include "ui/detail/DetailView.h"
#include "ui/detail/DrawDetailReport.h"
#include "ui/pianoroll/Drawing.h"

namespace rolvik {
namespace {

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kFace(212, 208, 200);
const QColor kRed(255, 0, 0);

DetailColours PlainColours() {
    return {kWhite, kBlack, kFace, Settings::DefaultTrackColours()};
}

TEST(DetailLineColours, FaintAndDimMixWindowAndText) {
    const DetailColours colours = PlainColours();
    EXPECT_EQ(ColoursOfLine({"", ReportStyle::Faint, 0}, colours, kWhite).text,
              QColor(191, 191, 191));
    EXPECT_EQ(ColoursOfLine({"", ReportStyle::Dim, 0}, colours, kWhite).text, QColor(85, 85, 85));
    DetailColours tinted{QColor(250, 240, 230), QColor(10, 20, 30), kFace,
                         Settings::DefaultTrackColours()};
    EXPECT_EQ(ColoursOfLine({"", ReportStyle::Faint, 0}, tinted, kWhite).text,
              QColor((750 + 10) / 4, (720 + 20) / 4, (690 + 30) / 4));
    EXPECT_EQ(ColoursOfLine({"", ReportStyle::Dim, 0}, tinted, kWhite).background,
              QColor(250, 240, 230));
}

TEST(DetailLineColours, ChannelsUseTrackColoursWithWhiteTextFromChannel8) {
    const DetailColours colours = PlainColours();
    const LineColours three = ColoursOfLine({"", ReportStyle::Channel, 3}, colours, kWhite);
    EXPECT_EQ(three.text, kBlack);
    EXPECT_EQ(three.background, QColor(128, 128, 255));
    const LineColours nine = ColoursOfLine({"", ReportStyle::Channel, 9}, colours, kWhite);
    EXPECT_EQ(nine.text, kWhite);
    EXPECT_EQ(nine.background, QColor(128, 0, 0));
    EXPECT_EQ(ColoursOfLine({"", ReportStyle::Plain, 0}, colours, kFace).background, kFace);
}

class DrawDetailReportTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::EnsureQtApplication(); }

    void SetUp() override {
        QImage probe(1, 1, QImage::Format_RGB32);
        QPainter painter(&probe);
        painter.setFont(GothicFont());
        lineHeight = painter.fontMetrics().height();
        columnWidth = painter.fontMetrics().horizontalAdvance(QLatin1Char('A'));
        report.hasDocument = true;
        for (int i = 0; i < 40; ++i) {
            if (i == 1) {
                report.lines.push_back({"ch 9 note", ReportStyle::Channel, 9});
            } else {
                report.AddPlain("line " + std::to_string(i) + " 100% plain");
            }
        }
        report.markerLine = 3;
    }

    QImage Draw(int columns, int lines) const {
        QImage image(300, 200, QImage::Format_RGB32);
        QPainter painter(&image);
        DrawDetailReport(painter, report, PlainColours(), columns, lines, 300, 200);
        return image;
    }

    static bool RowIs(const QImage& image, int y, const QColor& colour) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != colour) {
                return false;
            }
        }
        return true;
    }

    DetailReport report;
    int lineHeight = 0;
    int columnWidth = 0;
};

TEST_F(DrawDetailReportTest, TheMarkerCrossesTheTopOfItsLineAtAnyColumn) {
    EXPECT_GT(lineHeight, 10);
    EXPECT_TRUE(RowIs(Draw(0, 0), 3 * lineHeight, kRed));
    EXPECT_TRUE(RowIs(Draw(0, 1), 2 * lineHeight, kRed));
    EXPECT_TRUE(RowIs(Draw(500, 2), lineHeight, kRed));
    EXPECT_FALSE(RowIs(Draw(0, 0), 3 * lineHeight - 1, kRed));
    EXPECT_FALSE(RowIs(Draw(0, 4), 0, kRed));
}

TEST_F(DrawDetailReportTest, ChannelLinesAreOpaqueOnlyOverTheirText) {
    const QImage image = Draw(0, 0);
    const int textWidth = 9 * columnWidth;
    int trackColoured = 0;
    for (int x = 0; x < textWidth; ++x) {
        trackColoured += image.pixelColor(x, lineHeight) == QColor(128, 0, 0) ? 1 : 0;
    }
    EXPECT_GT(trackColoured, textWidth / 2);
    EXPECT_EQ(image.pixelColor(textWidth + 2, lineHeight + 2), kWhite);
    EXPECT_EQ(image.pixelColor(299, 199), kWhite);
}

TEST_F(DrawDetailReportTest, ColumnsScrollTheTextAwayAndWithoutADocumentTheFillIsButtonFace) {
    EXPECT_TRUE(RowIs(Draw(65526, 0), 5, kWhite));
    report = BuildDetailReport(nullptr, 0);
    const QImage image = Draw(0, 0);
    EXPECT_EQ(image.pixelColor(299, 199), kFace);
    int textPixels = 0;
    for (int x = 0; x < 16 * columnWidth; ++x) {
        for (int y = 0; y < lineHeight; ++y) {
            textPixels += image.pixelColor(x, y) == kBlack ? 1 : 0;
        }
    }
    EXPECT_GT(textPixels, 20) << "SMAF not opened.";
}

// Lines compared glyph for glyph with their texts drawn on their own: the line's text at its
// place, shifted left by the scrolled columns, up by the scrolled lines, in its style's colours.
TEST_F(DrawDetailReportTest, EachLineShowsItsOwnTextInItsColours) {
    const QImage image = Draw(2, 4);
    const QImage plain = test::TextPicture("line 6 100% plain", kBlack, kWhite);
    const QRect shown(2 * columnWidth, 0, plain.width() - 2 * columnWidth, lineHeight);
    EXPECT_EQ(image.copy(QRect(QPoint(0, 2 * lineHeight), shown.size())), plain.copy(shown));

    const QImage channel = test::TextPicture("ch 9 note", kWhite, QColor(128, 0, 0));
    EXPECT_EQ(Draw(0, 0).copy(QRect(QPoint(0, lineHeight), channel.size())), channel);

    report = BuildDetailReport(nullptr, 0);
    const QImage none = test::TextPicture("SMAF not opened.", kBlack, kFace);
    EXPECT_EQ(Draw(0, 0).copy(QRect(QPoint(0, 0), none.size())), none);
}

class DetailViewTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::EnsureQtApplication(); }

    void SetUp() override {
        SetDefaultSettings();
        ROLVIK_REQUIRE_CORPUS();
        document = OpenSmaf(std::filesystem::path(ROLVIK_CORPUS_DIR) / "libsmaf__Canon.MMF");
        ASSERT_NE(document, nullptr);
        view.resize(500, 400);
        expectedLines = static_cast<int>(BuildDetailReport(document.get(), 0).lines.size());
        ASSERT_GT(expectedLines, 50);
    }

    void PaintOnce() { view.viewport()->grab(); }
    QScrollBar& vertical() { return *view.verticalScrollBar(); }
    QScrollBar& horizontal() { return *view.horizontalScrollBar(); }

    ScopedMessageHandler quiet{[](std::string_view, std::string_view, MessageIcon) {}};
    std::unique_ptr<Smaf> document;
    DetailView view;
    int expectedLines = 0;
};

TEST_F(DetailViewTest, APaintThatFindsANewLineCountCorrectsTheRange) {
    EXPECT_EQ(view.objectName(), "RolvikDetailWC");
    EXPECT_EQ(view.windowTitle(), "Rolvik - DetailView");
    PaintOnce();
    EXPECT_EQ(view.lineCount(), 1);
    EXPECT_FALSE(vertical().isEnabled());
    view.SetDocument(document.get());
    PaintOnce();
    EXPECT_EQ(view.lineCount(), expectedLines);
    EXPECT_EQ(vertical().maximum(), expectedLines - 2);
    EXPECT_EQ(vertical().pageStep(), 3);
    EXPECT_TRUE(vertical().isEnabled());
    EXPECT_EQ(horizontal().maximum(), 65526);
}

TEST_F(DetailViewTest, LineStepsStopBeforeTheEndAndThePositionSurvivesADocumentChange) {
    view.SetDocument(document.get());
    PaintOnce();
    view.Scroll(Qt::Vertical, 7);
    EXPECT_EQ(vertical().value(), expectedLines - 2);
    view.Scroll(Qt::Vertical, 1);
    EXPECT_EQ(vertical().value(), expectedLines - 2);
    view.Scroll(Qt::Vertical, 5, 10);
    view.SetDocument(nullptr);
    EXPECT_EQ(vertical().value(), 10);
    view.Scroll(Qt::Horizontal, 4, 65535);
    EXPECT_EQ(horizontal().value(), 65526);
}

TEST_F(DetailViewTest, KeysAndTheWheelPostScrollRequests) {
    view.SetDocument(document.get());
    PaintOnce();
    QTest::keyClick(&view, Qt::Key_PageDown);
    EXPECT_EQ(vertical().value(), 0) << "posted, not yet handled";
    QApplication::processEvents();
    EXPECT_EQ(vertical().value(), 3);
    QTest::keyClick(&view, Qt::Key_Down);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_End);
    QApplication::processEvents();
    EXPECT_EQ(vertical().value(), 4);
    EXPECT_EQ(horizontal().value(), 1);
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, 1), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view.viewport(), &wheel);
    QApplication::processEvents();
    EXPECT_EQ(vertical().value(), 1);
}

void SendWheel(QWidget* target, QPoint angle) {
    QWheelEvent wheel(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), angle,
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
    QApplication::processEvents();
}

// Only the vertical wheel pages, over the text and over either bar alike.
TEST_F(DetailViewTest, TheWheelPagesVerticallyWhereverItTurns) {
    view.SetDocument(document.get());
    PaintOnce();
    vertical().setValue(9);
    SendWheel(view.viewport(), QPoint(-120, 0));
    SendWheel(view.viewport(), QPoint(-3, 0));
    SendWheel(&vertical(), QPoint(-120, 0));
    EXPECT_EQ(vertical().value(), 9);
    EXPECT_EQ(horizontal().value(), 0);
    SendWheel(&horizontal(), QPoint(0, -120));
    EXPECT_EQ(vertical().value(), 12);
    EXPECT_EQ(horizontal().value(), 0);
    SendWheel(&vertical(), QPoint(0, 1));
    EXPECT_EQ(vertical().value(), 9) << "any delta is a whole page";
}

TEST_F(DetailViewTest, ClosingHidesAndAClickRepaints) {
    int paints = 0;
    struct PaintCounter : QObject {
        int* count;
        explicit PaintCounter(int* count) : count(count) {}
        bool eventFilter(QObject*, QEvent* event) override {
            *count += event->type() == QEvent::Paint ? 1 : 0;
            return false;
        }
    } counter(&paints);
    view.viewport()->installEventFilter(&counter);
    view.show();
    QApplication::processEvents();
    const int before = paints;
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QApplication::processEvents();
    EXPECT_GT(paints, before);
    view.close();
    EXPECT_TRUE(view.isHidden());
    view.viewport()->removeEventFilter(&counter);
}

TEST_F(DetailViewTest, TheThreeDrawingModesGiveTheSamePicture) {
    view.SetDocument(document.get());
    view.SetPlayPositionSource([] { return std::uint32_t{3000}; });
    PaintOnce();
    view.Scroll(Qt::Vertical, 5, 20);
    std::vector<QImage> pictures;
    for (int drawFunction : {0, 1, 2}) {
        CurrentSettings().drawFunction = drawFunction;
        pictures.push_back(view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32));
    }
    EXPECT_EQ(pictures[0], pictures[1]);
    EXPECT_EQ(pictures[0], pictures[2]);
}

}  // namespace
}  // namespace rolvik
