#include <gtest/gtest.h>
#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "TestDocument.h"
#include "tests/support/QtTestApplication.h"
#include "ui/pianoroll/PianoRoll.h"
#include "ui/pianoroll/PianoRollGeometry.h"
#include "ui/settings/Settings.h"

namespace rolvik {
namespace {

using test::AddEndOfSequence;
using test::AddNote;

TEST(PianoRollGeometry, KeyRowsAtTheDefaultRowHeight) {
    EXPECT_EQ(KeyAtY(12, 3, 0), 127);
    EXPECT_EQ(KeyAtY(14, 3, 0), 127);
    EXPECT_EQ(KeyAtY(15, 3, 0), 126);
    EXPECT_EQ(KeyAtY(393, 3, 0), 0);
    EXPECT_EQ(KeyAtY(395, 3, 0), 0);
    EXPECT_EQ(KeyAtY(396, 3, 0), std::nullopt);
    EXPECT_EQ(KeyAtY(65535, 3, 0), std::nullopt);
    EXPECT_EQ(KeyAtY(12, 3, 30), 117);
    EXPECT_EQ(RowTop(127, 3, 0), 12);
    EXPECT_EQ(RowBottom(0, 3, 0), 396);
    EXPECT_EQ(RowTop(60, 12, 700), 12 * 67 - 700 + 12);
}

TEST(PianoRollGeometry, TimesAndColumns) {
    EXPECT_EQ(TimeAtX(0, 4, 25), 100u);
    EXPECT_EQ(TimeAtX(98, 0, 25), 2450u);
    EXPECT_EQ(XOfTime(2500, 25, 98), 2);
    EXPECT_EQ(XOfTime(20, 25, 0), 0);
    EXPECT_EQ(XOfTime(0xFFFFFFFFu, 1, 0), 0xFFFFFFFFll);
}

class PianoRollWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::EnsureQtApplication(); }
    void SetUp() override {
        SetDefaultSettings();
        roll = std::make_unique<PianoRoll>(session);
        roll->resize(640, 480);
    }

    // A song that ends at `lengthMs`, shown in the roll.
    void ShowSong(std::uint32_t lengthMs) {
        song = CreateSmaf(4, 4);
        AddNote(*song, 0, 0x90, 60, 100);
        AddEndOfSequence(*song, lengthMs);
        Show(song.get());
    }

    QScrollBar& horizontal() { return *roll->horizontalScrollBar(); }
    int screen() const { return roll->viewport()->width(); }
    QScrollBar& vertical() { return *roll->verticalScrollBar(); }

    // Shows a document that the test keeps (null: none).
    void Show(Smaf* document) {
        session.Lend(document);
        roll->ShowDocument();
    }

    std::unique_ptr<Smaf> song;
    DocumentSession session;
    std::unique_ptr<PianoRoll> roll;
};

TEST_F(PianoRollWindow, StartsFromTheSettingsWithNothingToScrollAcross) {
    EXPECT_EQ(roll->objectName(), "RolvikPRollWC");
    EXPECT_EQ(roll->state().rowHeight, 3);
    EXPECT_EQ(roll->state().widthDivider, 25);
    EXPECT_EQ(roll->state().dragPreview, 1);
    EXPECT_EQ(roll->state().visibleTrack, -1);
    EXPECT_EQ(roll->state().soundingKey, -1);
    EXPECT_EQ(horizontal().maximum(), 0);
    EXPECT_EQ(horizontal().pageStep(), screen());
    EXPECT_FALSE(horizontal().isEnabled()) << "no song, nothing to scroll to";
    EXPECT_EQ(vertical().maximum(), 384 - 3 + 1);
    EXPECT_EQ(vertical().pageStep(), 3);
}

// The range is the song's length and one screen more, a page one screen: the song's end can be
// brought to the left edge at every scale, and no further.
TEST_F(PianoRollWindow, TheScrollRangeReachesTheSongsEndAtEveryScale) {
    const struct {
        std::uint32_t lengthMs;
        int divider;
    } cases[] = {{272'000, 1}, {272'000, 25},  {32'640, 25},
                 {2'700, 7},   {32'640, 1000}, {3'600'000, 1}};
    for (const auto& test : cases) {
        ShowSong(test.lengthMs);
        roll->SetWidthDivider(test.divider);
        horizontal().setValue(horizontal().maximum());
        const std::uint32_t viewStart = roll->ViewStartTime();
        EXPECT_GE(test.lengthMs, viewStart) << test.lengthMs << " at " << test.divider;
        EXPECT_LT(test.lengthMs, viewStart + test.divider)
            << test.lengthMs << " at " << test.divider;
        EXPECT_EQ(horizontal().pageStep(), screen());
        EXPECT_TRUE(horizontal().isEnabled());
    }
}

TEST_F(PianoRollWindow, MoveViewDividesTheTimeAndAddsTheOffsetWithinTheBar) {
    ShowSong(100'000);
    roll->MoveView(5000, -100);
    EXPECT_EQ(horizontal().value(), 100);
    roll->MoveView(100, -100);
    EXPECT_EQ(horizontal().value(), 0);
    roll->MoveView(5'000'000'000ll, 0);
    EXPECT_EQ(horizontal().value(), 4000);
    EXPECT_EQ(roll->ViewStartTime(), 100'000);
    roll->MoveView(-2500, 0);
    EXPECT_EQ(horizontal().value(), 0);
}

TEST_F(PianoRollWindow, ChangingTheScaleKeepsTheTimeAtTheLeftEdge) {
    ShowSong(100'000);
    roll->MoveView(10000, 0);
    EXPECT_EQ(horizontal().value(), 400);
    roll->SetWidthDivider(10);
    EXPECT_EQ(horizontal().value(), 1000);
    EXPECT_EQ(roll->widthDivider(), 10);
    EXPECT_EQ(roll->ViewStartTime(), 10000);
    roll->SetWidthDivider(0);
    EXPECT_EQ(roll->widthDivider(), 10) << "a zero scale would divide by zero";
}

TEST_F(PianoRollWindow, RowHeightSetsTheVerticalRange) {
    roll->SetRowHeight(12);
    EXPECT_EQ(roll->rowHeight(), 12);
    EXPECT_EQ(vertical().maximum(), 1536 - 12 + 1);
    EXPECT_EQ(vertical().pageStep(), 12);
    roll->SetRowHeight(-1);
    EXPECT_EQ(roll->rowHeight(), 12);
}

TEST_F(PianoRollWindow, EverySetterReachesWhatTheRollDraws) {
    auto document = CreateSmaf(4, 4);
    Event* note = AddNote(*document, 0, 0x90, 60, 100);
    const char* status = "Tempo: 100";
    roll->SetVisibleTrack(3);
    EXPECT_EQ(roll->visibleTrack(), 3);
    Show(document.get());
    EXPECT_EQ(roll->state().document, document.get());
    roll->SetPlayPosition(1234);
    EXPECT_EQ(roll->state().cursorTime, 1234u);
    roll->SetStatusText(status);
    EXPECT_EQ(roll->statusText(), status);
    roll->SetEditLock(true);
    EXPECT_EQ(roll->state().editLock, 1);
    roll->SetSelectedNote(note);
    EXPECT_EQ(roll->state().selectedNote, note);
}

TEST_F(PianoRollWindow, LoadDefaultsCopiesTheSettingsButLeavesTheRanges) {
    CurrentSettings().widthDivider = 10;
    CurrentSettings().pianoRollHeight = 8;
    CurrentSettings().dragPreview = 0;
    roll->LoadDefaults();
    EXPECT_EQ(roll->state().widthDivider, 10);
    EXPECT_EQ(roll->state().rowHeight, 8);
    EXPECT_EQ(roll->state().dragPreview, 0);
    EXPECT_EQ(vertical().pageStep(), 3);
}

TEST_F(PianoRollWindow, ANewDocumentShowsFromItsStartWithNothingSelected) {
    ShowSong(67'000);
    horizontal().setValue(2680);
    auto document = CreateSmaf(4, 4);
    Event* note = AddNote(*document, 0, 0x90, 60, 2700);
    Show(document.get());
    EXPECT_EQ(horizontal().value(), 0);
    roll->SetSelectedNote(note);
    Show(nullptr);
    EXPECT_EQ(roll->state().selectedNote, nullptr);
    EXPECT_EQ(roll->state().document, nullptr);
}

TEST_F(PianoRollWindow, ScrollRequestsFollowThePlatformRules) {
    ShowSong(300'000);
    roll->SetRowHeight(3);
    roll->Scroll(Qt::Vertical, 0);
    EXPECT_EQ(vertical().value(), 0);
    roll->Scroll(Qt::Vertical, 3);
    EXPECT_EQ(vertical().value(), 3);
    roll->Scroll(Qt::Vertical, 7);
    EXPECT_EQ(vertical().value(), 382);
    roll->Scroll(Qt::Vertical, 1);
    EXPECT_EQ(vertical().value(), 382);
    roll->Scroll(Qt::Vertical, 6);
    EXPECT_EQ(vertical().value(), 0);
    roll->Scroll(Qt::Horizontal, 5, 70000);
    EXPECT_EQ(horizontal().value(), static_cast<quint16>(70000));
    roll->Scroll(Qt::Horizontal, 4, 65535);
    EXPECT_EQ(horizontal().value(), 12000);
    roll->Scroll(Qt::Horizontal, 2);
    EXPECT_EQ(horizontal().value(), 12000 - screen()) << "a page is a screen";
    roll->Scroll(Qt::Horizontal, 8);
    EXPECT_EQ(horizontal().value(), 12000 - screen());
}

void SendWheel(QWidget* target, QPoint angle, Qt::KeyboardModifiers modifiers,
               QPoint at = QPoint(5, 5)) {
    QWheelEvent wheel(at, target->mapToGlobal(QPointF(at)), QPoint(), angle, Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
    QApplication::processEvents();
}

void SendWheel(QWidget* target, int delta, Qt::KeyboardModifiers modifiers) {
    SendWheel(target, QPoint(0, delta), modifiers);
}

// With Ctrl the wheel zooms the time axis a quarter a notch within the keyboard entry's bound of
// the width divider (above 0), and with Ctrl and Shift the key rows; both keep what lies under the
// pointer where it is.
TEST_F(PianoRollWindow, TheWheelScrollsOneRowOrWithCtrlZoomsAroundThePointer) {
    ShowSong(300'000);
    vertical().setValue(30);
    SendWheel(roll->viewport(), 120, Qt::NoModifier);
    EXPECT_EQ(vertical().value(), 27);
    SendWheel(roll->viewport(), -120, Qt::NoModifier);
    SendWheel(roll->viewport(), -1, Qt::NoModifier);
    EXPECT_EQ(vertical().value(), 33);

    const QPoint pointer(300, 200);
    horizontal().setValue(1240);
    for (int notch : {-120, -120, 120, 120, 120}) {
        const qint64 before = roll->widthDivider();
        const double underPointer = roll->ViewStartTime() + (300 + 0.5) * before;
        SendWheel(roll->viewport(), QPoint(0, notch), Qt::ControlModifier, pointer);
        const qint64 after = roll->widthDivider();
        EXPECT_NEAR(roll->ViewStartTime() + (300 + 0.5) * after, underPointer,
                    std::max(before, after) / 2.0 + 1)
            << notch;
    }
    EXPECT_EQ(roll->widthDivider(), 17) << "25, 31, 38, 29, 22, 17";
    roll->SetWidthDivider(1);
    SendWheel(roll->viewport(), 120, Qt::ControlModifier);
    EXPECT_EQ(roll->widthDivider(), 1);
    EXPECT_EQ(vertical().value(), 33);

    const int keyUnderPointer = *KeyAtY(pointer.y(), roll->rowHeight(), vertical().value());
    for (int notch : {120, 120, 120, -120, 120}) {
        SendWheel(roll->viewport(), QPoint(0, notch), Qt::ControlModifier | Qt::ShiftModifier,
                  pointer);
        EXPECT_EQ(KeyAtY(pointer.y(), roll->rowHeight(), vertical().value()), keyUnderPointer)
            << roll->rowHeight();
    }
    EXPECT_EQ(roll->rowHeight(), 6) << "3, 4, 5, 6, 5, 6";
    SendWheel(roll->viewport(), QPoint(-120, 0), Qt::ControlModifier | Qt::ShiftModifier, pointer);
    EXPECT_EQ(roll->rowHeight(), 5) << "a wheel that Shift turns sideways";
}

TEST_F(PianoRollWindow, ZoomToFitShowsTheWholeSong) {
    ShowSong(272'000);
    horizontal().setValue(500);
    roll->ZoomToFit();
    EXPECT_EQ(horizontal().value(), 0);
    EXPECT_GE(std::uint64_t(screen()) * roll->widthDivider(), 272'000u);
    EXPECT_LT(std::uint64_t(screen()) * (roll->widthDivider() - 1), 272'000u);
}

// The rows of the keys played, with one key to spare either side, fill the roll's height.
TEST_F(PianoRollWindow, FitKeysToWindowFillsTheHeightWithTheKeysPlayed) {
    ShowSong(10'000);
    AddNote(*song, 100, 0x91, 72, 100);
    roll->FitKeysToWindow();
    const int room = roll->viewport()->height() - kRulerHeight;
    EXPECT_EQ(roll->rowHeight(), std::min(48, room / 15));
    EXPECT_EQ(KeyAtY(kRulerHeight, roll->rowHeight(), vertical().value()), 73);
    Show(nullptr);
    roll->FitKeysToWindow();
    EXPECT_EQ(roll->rowHeight(), std::max(1, room / 128));
}

TEST_F(PianoRollWindow, ASidewaysWheelOrSwipeScrollsNothing) {
    ShowSong(100'000);
    vertical().setValue(30);
    horizontal().setValue(50);
    for (Qt::KeyboardModifiers modifiers : {Qt::NoModifier, Qt::ControlModifier}) {
        SendWheel(roll->viewport(), QPoint(-120, 0), modifiers);
        SendWheel(roll->viewport(), QPoint(-7, 0), modifiers);
    }
    EXPECT_EQ(vertical().value(), 30);
    EXPECT_EQ(horizontal().value(), 50);
    SendWheel(roll->viewport(), QPoint(40, -2), Qt::NoModifier);
    EXPECT_EQ(vertical().value(), 33) << "a diagonal swipe scrolls by its vertical part";
}

// The bars scroll by the window's rule, not by their own three lines a notch.
TEST_F(PianoRollWindow, TheWheelOverTheBarsFollowsTheWindowsRule) {
    roll->SetRowHeight(12);
    vertical().setValue(120);
    SendWheel(&vertical(), -120, Qt::NoModifier);
    EXPECT_EQ(vertical().value(), 132);
    SendWheel(&horizontal(), 120, Qt::NoModifier);
    EXPECT_EQ(vertical().value(), 120);
    EXPECT_EQ(horizontal().value(), 0);
    SendWheel(&vertical(), -120, Qt::ControlModifier);
    EXPECT_EQ(roll->widthDivider(), 31) << "Ctrl zooms over the bars too";
    EXPECT_EQ(vertical().value(), 120);
    SendWheel(&horizontal(), QPoint(-120, 0), Qt::NoModifier);
    EXPECT_EQ(horizontal().value(), 0);
}

}  // namespace
}  // namespace rolvik
