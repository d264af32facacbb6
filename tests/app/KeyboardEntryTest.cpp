#include <gmock/gmock.h>

#include <QApplication>
#include <QKeyEvent>

#include <QSlider>
#include "ShellTest.h"
#include "app/OptionEntry.h"

namespace rolvik {
namespace {

class KeyboardEntryTest : public ShellTest {
  protected:
    // Plain events: QTest would press and release Shift around every key it sends with Shift.
    void Send(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent event(type, key, modifiers);
        QApplication::sendEvent(window.get(), &event);
    }
    void ShiftDown() { Send(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier); }
    void ShiftUp() { Send(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier); }
    void Type(Qt::Key key) {
        Send(QEvent::KeyPress, key, Qt::ShiftModifier);
        Send(QEvent::KeyRelease, key, Qt::ShiftModifier);
    }
    // Holds Shift, types the keys and returns the status line after each, then releases Shift.
    std::vector<std::string> Enter(std::initializer_list<Qt::Key> keys) {
        std::vector<std::string> lines;
        ShiftDown();
        for (const Qt::Key key : keys) {
            Type(key);
            lines.push_back(StatusLine());
        }
        ShiftUp();
        return lines;
    }
    std::string StatusLine() const {
        const char* text = window->pianoRoll().state().statusText;
        return text ? text : "";
    }
};

TEST_F(KeyboardEntryTest, TheStatusLineShowsTheSettingAsItIsTyped) {
    ShiftDown();
    EXPECT_EQ(StatusLine(), "Shift-Option?");
    Type(Qt::Key_1);
    EXPECT_EQ(StatusLine(), "Shift-Option?") << "no letter yet";
    ShiftUp();

    EXPECT_THAT(Enter({Qt::Key_T, Qt::Key_1, Qt::Key_2, Qt::Key_0}),
                ::testing::ElementsAre("Tempo: 100", "Tempo: 1", "Tempo: 12", "Tempo: 120"));
    EXPECT_EQ(engine->controls().tempo, 120);
    EXPECT_EQ(StatusLine(), "") << "the status line goes with Shift";
    EXPECT_EQ(window->pianoRoll().state().statusText, nullptr);
}

TEST_F(KeyboardEntryTest, ValuesOutsideTheirBoundsAreDropped) {
    Enter({Qt::Key_T, Qt::Key_6, Qt::Key_9});
    EXPECT_EQ(engine->controls().tempo, 100);
    Enter({Qt::Key_V, Qt::Key_1, Qt::Key_0, Qt::Key_Backspace});
    EXPECT_EQ(engine->controls().volume, 1);
    EXPECT_EQ(window->volumeControl().value(), 1) << "the toolbar's volume follows";
    Enter({Qt::Key_K, Qt::Key_5, Qt::Key_Minus});
    EXPECT_EQ(engine->controls().keyPitch, -5);
    Enter({Qt::Key_K, Qt::Key_1, Qt::Key_3});
    EXPECT_EQ(engine->controls().keyPitch, -5);
    Enter({Qt::Key_D, Qt::Key_3});
    EXPECT_EQ(CurrentSettings().drawFunction, 2);
    Enter({Qt::Key_H, Qt::Key_0});
    EXPECT_EQ(window->pianoRoll().rowHeight(), 3);
    Enter({Qt::Key_W, Qt::Key_1, Qt::Key_0});
    EXPECT_EQ(window->pianoRoll().widthDivider(), 10);
}

TEST_F(KeyboardEntryTest, FollowSpaceIsEnteredAndShownNegated) {
    EXPECT_THAT(Enter({Qt::Key_S, Qt::Key_5, Qt::Key_0}),
                ::testing::ElementsAre("Follow space: -100 [px]", "Follow space: -5 [px]",
                                       "Follow space: -50 [px]"));
    EXPECT_EQ(CurrentSettings().followSpace, -50);
    EXPECT_THAT(Enter({Qt::Key_F, Qt::Key_3, Qt::Key_7}),
                ::testing::ElementsAre("Follow play: 0: NoFollow", "Follow play: 3: PageFollow",
                                       "Follow play: 37 (ILLEGAL VALUE)"));
    EXPECT_EQ(CurrentSettings().followPlay, FollowPlay::NoFollow);
}

TEST_F(KeyboardEntryTest, EscapeAndUnknownLettersCancel) {
    EXPECT_THAT(Enter({Qt::Key_V, Qt::Key_5, Qt::Key_Escape}),
                ::testing::ElementsAre("Volume: 127", "Volume: 5", "(Escape)"));
    EXPECT_EQ(engine->controls().volume, 127);
    EXPECT_THAT(Enter({Qt::Key_Z, Qt::Key_Slash}),
                ::testing::ElementsAre("INVALID TYPE", "HELP: View readme. sorry."));
}

TEST_F(KeyboardEntryTest, GoToNeedsADocumentAndFollowsInEveryModeButNoFollow) {
    Enter({Qt::Key_G, Qt::Key_5, Qt::Key_0, Qt::Key_0, Qt::Key_0});
    EXPECT_EQ(window->playPosition(), 0u);

    NewDocument();
    AddNote(60000, 0, 60, 100);
    CurrentSettings().followPlay = FollowPlay::FollowOnShift;
    Enter({Qt::Key_G, Qt::Key_5, Qt::Key_0, Qt::Key_0, Qt::Key_0, Qt::Key_0});
    EXPECT_EQ(window->playPosition(), 50000u);
    EXPECT_EQ(Title(), "Rolvik 50000ms");
    EXPECT_EQ(window->pianoRoll().ViewStartTime(), 47500);
}

TEST_F(KeyboardEntryTest, ARefreshRateEntryRestartsTimerZeroDuringPlay) {
    NewDocument();
    AddNote(0, 0, 60, 100);
    AddNote(9000, 0, 60, 100);
    Enter({Qt::Key_R, Qt::Key_2, Qt::Key_5});
    window->RunCommand(CommandId::MidiPlay);
    EXPECT_EQ(window->playTimers().refresh().interval(), 25);
    Enter({Qt::Key_R, Qt::Key_0});
    EXPECT_EQ(CurrentSettings().refreshRate, 25);
    EXPECT_TRUE(window->playTimers().refresh().isActive());
    EXPECT_EQ(window->playTimers().refresh().interval(), 25);
}

TEST_F(KeyboardEntryTest, PlayVisibleOnlyFiltersMidiPlayToTheVisibleTrack) {
    QTest::keyClick(window.get(), Qt::Key_3);
    Enter({Qt::Key_O, Qt::Key_1});
    EXPECT_EQ(engine->midi().MidiPlayer().trackFilter, 2);
    QTest::keyClick(window.get(), Qt::Key_Q);
    EXPECT_EQ(window->pianoRoll().visibleTrack(), 8);
    EXPECT_EQ(engine->midi().MidiPlayer().trackFilter, 8);
    Enter({Qt::Key_O, Qt::Key_0});
    EXPECT_EQ(engine->midi().MidiPlayer().trackFilter, kAllTracks);
}

TEST_F(KeyboardEntryTest, SingleKeysChooseTheTrackOnlyWithoutModifiers) {
    QTest::keyClick(window.get(), Qt::Key_8);
    EXPECT_EQ(window->pianoRoll().visibleTrack(), 7);
    QTest::keyClick(window.get(), Qt::Key_I);
    EXPECT_EQ(window->pianoRoll().visibleTrack(), 15);
    QTest::keyClick(window.get(), Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(window->pianoRoll().visibleTrack(), 15);
    QTest::keyClick(window.get(), Qt::Key_0);
    EXPECT_EQ(window->pianoRoll().visibleTrack(), kAllTracks);
}

TEST_F(KeyboardEntryTest, ArrowKeysSeekBySecondsOrWithCtrlByTenths) {
    QTest::keyClick(window.get(), Qt::Key_Right);
    EXPECT_EQ(window->playPosition(), 0u) << "nothing to seek in without a document";
    NewDocument();
    QTest::keyClick(window.get(), Qt::Key_Right);
    QTest::keyClick(window.get(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(window->playPosition(), 1100u);
    EXPECT_EQ(Title(), "Rolvik 01100ms");
    QTest::keyClick(window.get(), Qt::Key_Left);
    EXPECT_EQ(window->playPosition(), 100u);
    window->Seek(500, MainWindow::SeekKind::Plain);
    QTest::keyClick(window.get(), Qt::Key_Left);
    EXPECT_EQ(window->playPosition(), 0u) << "not below the start offset";
}

// Delete removes the selected note as a right press does: not while the edit lock is set, and not
// during an entry, where it takes back a digit.
TEST_F(KeyboardEntryTest, DeleteRemovesTheSelectedNote) {
    NewDocument();
    Event* note = AddNote(0, 0, 60, 500);
    window->pianoRoll().SetSelectedNote(note);
    window->pianoRoll().SetEditLock(true);
    QTest::keyClick(window.get(), Qt::Key_Delete);
    Enter({Qt::Key_V, Qt::Key_1, Qt::Key_0, Qt::Key_Delete});
    EXPECT_EQ(engine->controls().volume, 1);
    ASSERT_EQ(window->pianoRoll().state().selectedNote, note);
    window->pianoRoll().SetEditLock(false);
    QTest::keyClick(window.get(), Qt::Key_Delete);
    EXPECT_EQ(window->pianoRoll().state().selectedNote, nullptr);
    for (const Event* event = window->document()->events.get(); event; event = event->next.get()) {
        EXPECT_NE(event->status, 0x90) << "the note is gone";
    }
}

TEST(OptionEntry, TypedNumbersWrapInsteadOfOverflowing) {
    OptionEntry entry;
    entry.Begin();
    entry.ChooseLetter('M', 0);
    for (int i = 0; i < 12; ++i) {
        entry.Digit(9);
    }
    entry.Negate();
    EXPECT_EQ(entry.End().letter, 'M');
    EXPECT_EQ(OptionStatusLine('D', -1), "Draw Function: -1 (ILLEGAL VALUE)");
    EXPECT_EQ(OptionStatusLine('D', 1),
              "Draw Function: 1: DoubleBuffer use CreateDIBSection(SLOW)");
}

}  // namespace
}  // namespace rolvik
