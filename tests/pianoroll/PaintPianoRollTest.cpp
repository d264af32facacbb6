#include <gtest/gtest.h>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include "TestDocument.h"
#include "tests/support/QtTestApplication.h"
#include "tests/support/TextPicture.h"
#include "ui/pianoroll/Drawing.h"
#include "ui/pianoroll/PaintPianoRoll.h"
#include "ui/pianoroll/PianoRoll.h"
#include "ui/pianoroll/PianoRollGeometry.h"
#include "ui/settings/Settings.h"

namespace rolvik {
namespace {

using test::AddEndOfSequence;
using test::AddNote;
using test::PixelsOf;
using test::TextPicture;

const QColor kWhite(255, 255, 255);
const QColor kGrid(220, 220, 220);
const QColor kMajor(192, 192, 192);
const QColor kCRow(240, 240, 240);
const QColor kBorder(128, 64, 128);
const QColor kRed(255, 0, 0);
const QColor kFace(212, 208, 200);
const QColor kFaceText(0, 0, 0);

class PaintPianoRollTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::EnsureQtApplication(); }

    // Three notes on keys 62 and 64 with 12-pixel rows scrolled so that key 62 lies at y 92..103,
    // key 64 at 68..79 and the C row of key 60 at 116..127.
    void SetUp() override {
        SetDefaultSettings();
        document = CreateSmaf(4, 4);
        trackOneNote = AddNote(*document, 1000, 0x91, 62, 500);
        trackZeroNote = AddNote(*document, 2000, 0x80, 64, 400);
        selectedNote = AddNote(*document, 3000, 0x92, 62, 1000);
        document->start = selectedNote;
        document->stop = AddEndOfSequence(*document, 6000);
        state.document = document.get();
        state.rowHeight = 12;
        state.selectedNote = selectedNote;
        state.cursorTime = 7000;
        scrollY = 700;
    }

    QImage Render(int width = 400, int height = 300) const {
        QImage image(width, height, QImage::Format_RGB32);
        QPainter painter(&image);
        const PianoRollView view{state, scrollX,  scrollY, CurrentSettings().trackColours,
                                 kFace, kFaceText};
        PaintPianoRoll(painter, view, width, height);
        return image;
    }

    static int CountPixels(const QImage& image, QRect area, const QColor& colour) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                count += image.pixelColor(x, y) == colour ? 1 : 0;
            }
        }
        return count;
    }

    std::unique_ptr<Smaf> document;
    Event* trackOneNote = nullptr;
    Event* trackZeroNote = nullptr;
    Event* selectedNote = nullptr;
    PianoRollState state;
    int scrollX = 0;
    int scrollY = 0;
};

TEST_F(PaintPianoRollTest, NotesHaveABorderAndTheirTrackColourInside) {
    const QImage image = Render();
    EXPECT_EQ(image.pixelColor(50, 97), QColor(255, 128, 128));
    EXPECT_EQ(image.pixelColor(40, 97), kBorder);
    EXPECT_EQ(image.pixelColor(59, 97), kBorder);
    EXPECT_EQ(image.pixelColor(50, 92), kBorder);
    EXPECT_EQ(image.pixelColor(50, 103), kBorder);
    EXPECT_EQ(image.pixelColor(60, 97), kGrid) << "the right edge is excluded";
    EXPECT_EQ(image.pixelColor(90, 73), QColor(192, 192, 192)) << "0x8n notes count too";
}

TEST_F(PaintPianoRollTest, TheSelectedNoteIsRedWithItsGrabMark) {
    const QImage image = Render();
    EXPECT_EQ(image.pixelColor(121, 92), kRed);
    EXPECT_EQ(image.pixelColor(130, 97), QColor(128, 255, 128));
    for (int y : {90, 91, 104, 105}) {
        EXPECT_EQ(image.pixelColor(152, y), kRed) << y;
    }
    EXPECT_NE(image.pixelColor(152, 89), kRed);
    EXPECT_NE(image.pixelColor(152, 106), kRed);
    EXPECT_NE(image.pixelColor(153, 90), kRed);
}

TEST_F(PaintPianoRollTest, KeyGridShadesTheCRows) {
    const QImage image = Render();
    EXPECT_EQ(image.pixelColor(301, 116), kGrid);
    EXPECT_EQ(image.pixelColor(301, 120), kCRow);
    EXPECT_EQ(image.pixelColor(301, 127), kCRow);
    EXPECT_EQ(image.pixelColor(301, 128), kGrid);
    EXPECT_EQ(image.pixelColor(301, 110), kWhite);
}

TEST_F(PaintPianoRollTest, TimeLinesEvery100MsWithMajorLinesAndLabelsEvery2500Ms) {
    const QImage image = Render();
    EXPECT_EQ(image.pixelColor(4, 110), kGrid);
    EXPECT_EQ(image.pixelColor(5, 110), kWhite);
    EXPECT_EQ(image.pixelColor(100, 110), kMajor);
    EXPECT_EQ(image.pixelColor(200, 110), kMajor);
    EXPECT_EQ(image.pixelColor(100, 11), kFace) << "the ruler covers the lines";
    EXPECT_GT(CountPixels(image, QRect(2, 0, 20, 12), kFaceText), 0) << "0ms";
    EXPECT_EQ(CountPixels(image, QRect(40, 0, 58, 12), kFaceText), 0);
    EXPECT_GT(CountPixels(image, QRect(102, 0, 40, 12), kFaceText), 0) << "2500ms";
}

TEST_F(PaintPianoRollTest, TheFirstLineAfterAScrolledViewStartIsMajorAndLabelled) {
    scrollX = 98;
    const QImage image = Render();
    EXPECT_EQ(image.pixelColor(0, 110), kWhite);
    EXPECT_EQ(image.pixelColor(2, 110), kMajor);
    EXPECT_EQ(CountPixels(image, QRect(0, 0, 4, 12), kFaceText), 0);
    EXPECT_GT(CountPixels(image, QRect(4, 0, 40, 12), kFaceText), 0);
}

TEST_F(PaintPianoRollTest, WhenAPixelSpansSeveralLinesTheLastOneShows) {
    state.widthDivider = 250;
    const QImage image = Render();
    EXPECT_EQ(image.pixelColor(0, 110), kGrid) << "200 ms covers the major line at 0 ms";
    EXPECT_EQ(image.pixelColor(50, 110), kGrid) << "12700 ms covers 12500 ms";
    EXPECT_GT(CountPixels(image, QRect(52, 0, 40, 12), kFaceText), 0) << "12500ms";
}

TEST_F(PaintPianoRollTest, StartStopAndCursorLinesCrossTheWholeHeight) {
    const QImage image = Render();
    EXPECT_EQ(image.pixelColor(80, 200), QColor(0, 128, 0)) << "start offset 2000 ms";
    EXPECT_EQ(image.pixelColor(80, 5), QColor(0, 128, 0));
    EXPECT_EQ(image.pixelColor(240, 200), QColor(128, 0, 128));
    EXPECT_EQ(image.pixelColor(280, 200), kRed);
    EXPECT_EQ(image.pixelColor(280, 299), kRed);
    EXPECT_EQ(image.pixelColor(280, 0), kRed);
}

TEST_F(PaintPianoRollTest, WithoutADocumentOnlyTheGridAndTheCursorAreDrawn) {
    state.document = nullptr;
    const QImage image = Render();
    EXPECT_EQ(image.pixelColor(50, 97), kWhite);
    EXPECT_EQ(image.pixelColor(81, 201), kWhite);
    EXPECT_EQ(image.pixelColor(80, 5), kFace);
    EXPECT_EQ(image.pixelColor(280, 200), kRed);
    EXPECT_EQ(image.pixelColor(301, 120), kCRow);
}

TEST_F(PaintPianoRollTest, OneVisibleTrackHidesTheOthersAndSaysSoInTheCorner) {
    const QRect corner(300, 284, 100, 16);
    EXPECT_EQ(CountPixels(Render(), corner, kRed), 0);
    state.visibleTrack = 0;
    const QImage image = Render();
    EXPECT_EQ(image.pixelColor(50, 97), kWhite);
    EXPECT_EQ(image.pixelColor(90, 73), QColor(192, 192, 192));
    EXPECT_GT(CountPixels(image, corner, kRed), 10);
    EXPECT_GT(CountPixels(image, corner, kWhite), 10);
    EXPECT_EQ(image.pixelColor(399, 299), kWhite) << "the text cell ends at the corner";
}

TEST_F(PaintPianoRollTest, TheStatusTextStandsOnWhiteOverTheRuler) {
    const QRect area(0, 0, 30, 12);
    EXPECT_EQ(CountPixels(Render(), area, kWhite), 0);
    state.statusText = "Row height: 12";
    const QImage image = Render();
    EXPECT_GT(CountPixels(image, area, kWhite), 30);
    EXPECT_GT(CountPixels(image, area, QColor(0, 0, 0)), 10);
    const QRect rest(84, 0, 316, 12);
    EXPECT_EQ(CountPixels(image, rest, kWhite), rest.width() * rest.height())
        << "no ruler label shows on beside the status line";
}

// The texts themselves, compared glyph for glyph with the same text drawn on its own.

TEST_F(PaintPianoRollTest, TheRulerLabelsItsMajorLinesWithTheirTimes) {
    const QImage image = Render();
    const std::pair<int, const char*> labels[] = {
        {2, "0ms"}, {102, "2500ms"}, {202, "5000ms"}, {302, "7500ms"}};
    for (const auto& [x, label] : labels) {
        const QImage expected = TextPicture(label, kFaceText, kFace);
        EXPECT_EQ(image.copy(QRect(QPoint(x, 0), expected.size())), expected) << label;
    }
    const QImage other = TextPicture("2600ms", kFaceText, kFace);
    EXPECT_NE(image.copy(QRect(QPoint(102, 0), other.size())), other);

    scrollX = 98;
    const QImage scrolled = TextPicture("2500ms", kFaceText, kFace);
    EXPECT_EQ(Render().copy(QRect(QPoint(4, 0), scrolled.size())), scrolled);
    scrollX = 0;
    state.widthDivider = 250;
    const QImage coarse = TextPicture("12500ms", kFaceText, kFace);
    EXPECT_EQ(Render().copy(QRect(QPoint(52, 0), coarse.size())), coarse);
}

// Each row is named by its note (padded to two characters), its octave from -2 and its number,
// in grey under the notes, and only while the rows are as tall as the names.
TEST_F(PaintPianoRollTest, EveryRowTallEnoughIsLabelledWithItsKey) {
    auto expectLabel = [this](int key, const char* label) {
        const QImage image = Render();
        const QImage expected = TextPicture(label, Qt::black, Qt::white);
        const QPoint at(1, RowTop(key, state.rowHeight, scrollY) + 1);
        EXPECT_EQ(PixelsOf(image.copy(QRect(at, expected.size())), kMajor), expected) << label;
    };
    expectLabel(63, "D# 3=63");
    expectLabel(61, "C# 3=61");
    const QRect noteOnKey62(40, 92, 20, 12);
    EXPECT_EQ(CountPixels(Render(), noteOnKey62, kMajor), 0) << "the name stays under the note";
    expectLabel(60, "C  3=60");
    scrollY = 0;
    expectLabel(127, "G  8=127");
    expectLabel(126, "F# 8=126");
    scrollY = 1300;
    expectLabel(12, "C  -1=12");
    expectLabel(11, "B  -2=11");
    expectLabel(0, "C  -2=0");

    const QRect nameColumn(1, kRulerHeight, 38, 288);
    EXPECT_GT(CountPixels(Render(), nameColumn, kMajor), 0);
    state.rowHeight = QFontMetrics(GothicFont()).height() - 1;
    EXPECT_EQ(CountPixels(Render(), nameColumn, kMajor), 0) << "too short a row for a name";
}

TEST_F(PaintPianoRollTest, TheCornerNamesTheVisibleTrackCountingFromOne) {
    for (int track : {0, 2, 15}) {
        state.visibleTrack = track;
        const QImage expected =
            TextPicture(QString("Viewing Track %1").arg(track + 1), kRed, kWhite);
        const QPoint corner(400 - expected.width(), 300 - expected.height());
        EXPECT_EQ(Render().copy(QRect(corner, expected.size())), expected) << track;
    }
}

TEST_F(PaintPianoRollTest, TheStatusTextIsDrawnAsGiven) {
    state.statusText = "Width divider: 25 100%";
    const QImage expected = TextPicture("Width divider: 25 100%", Qt::black, kWhite);
    EXPECT_EQ(Render().copy(QRect(QPoint(0, 0), expected.size())), expected);
}

TEST_F(PaintPianoRollTest, ShortNotesAndThinRows) {
    AddNote(*document, 0, 0x91, 65, 20);
    const QImage image = Render();
    EXPECT_NE(image.pixelColor(0, 33), kBorder) << "a note inside one column is empty";

    state.rowHeight = 3;
    scrollY = 0;
    AddNote(*document, 5000, 0x91, 127, 500);
    const QImage thin = Render();
    EXPECT_EQ(thin.pixelColor(210, 12), kBorder);
    EXPECT_EQ(thin.pixelColor(210, 13), QColor(255, 128, 128));
    EXPECT_EQ(thin.pixelColor(210, 14), kBorder);
    EXPECT_EQ(thin.pixelColor(210, 15), kGrid);
}

// A view scrolled anywhere must show exactly what the same stretch of one big picture of the whole
// song shows, apart from what is drawn relative to the window: labels, ruler and corner text.
TEST_F(PaintPianoRollTest, AScrolledViewIsACutOfTheWholePicture) {
    auto song = CreateSmaf(4, 4);
    std::uint32_t seed = 12345;
    auto next = [&seed](std::uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % range;
    };
    Event* someNote = nullptr;
    for (int i = 0; i < 2000; ++i) {
        someNote = AddNote(*song, next(60000), static_cast<std::uint8_t>(0x90 | next(16)),
                           static_cast<int>(next(128)), 10 + next(i % 50 == 0 ? 20000 : 1500));
    }
    state = PianoRollState{};
    state.document = song.get();
    state.selectedNote = someNote;
    state.cursorTime = 30000;
    scrollX = 0;
    scrollY = 0;
    const QImage whole = Render(2600, 12 + 128 * 3);
    for (QPoint scroll : {QPoint(500, 100), QPoint(1234, 37), QPoint(2300, 0), QPoint(7, 190)}) {
        scrollX = scroll.x();
        scrollY = scroll.y();
        const QImage view = Render(300, 200);
        const QRect compared(100, 12, 200, 188);
        EXPECT_EQ(view.copy(compared), whole.copy(compared.translated(scroll)))
            << scroll.x() << "," << scroll.y();
    }
}

TEST(PianoRollDrawFunction, TheThreeModesGiveTheSamePicture) {
    test::EnsureQtApplication();
    SetDefaultSettings();
    auto document = CreateSmaf(4, 4);
    for (int i = 0; i < 200; ++i) {
        AddNote(*document, static_cast<std::uint32_t>(i * 97),
                static_cast<std::uint8_t>(0x90 | i % 16), 40 + i % 40, 300);
    }
    DocumentSession session;
    session.Lend(document.get());
    PianoRoll roll(session);
    roll.resize(500, 400);
    roll.SetSelectedNote(document->events.get());
    roll.SetVisibleTrack(-1);
    roll.SetPlayPosition(1500);
    roll.verticalScrollBar()->setValue(150);
    const char* status = "Width divider: 25";
    roll.SetStatusText(status);
    std::vector<QImage> pictures;
    for (int drawFunction : {0, 1, 2}) {
        CurrentSettings().drawFunction = drawFunction;
        pictures.push_back(roll.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32));
    }
    EXPECT_EQ(pictures[0], pictures[1]);
    EXPECT_EQ(pictures[0], pictures[2]);
    EXPECT_EQ(pictures[0].pixelColor(60, 200), QColor(255, 0, 0)) << "the cursor is drawn";
}

}  // namespace
}  // namespace rolvik
