#include <gmock/gmock.h>

#include <QScrollBar>

#include "ShellTest.h"
#include "app/StatusBar.h"
#include "core/Loader.h"
#include "tests/support/Corpus.h"
#include "ui/detail/DetailView.h"

namespace rolvik {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using testing::ShownMessage;

ByteVector NoteOn(int channel, int key, int velocity) {
    return {static_cast<std::uint8_t>(0x90 + channel), static_cast<std::uint8_t>(key),
            static_cast<std::uint8_t>(velocity)};
}

class PlaybackCommandsTest : public ShellTest {};

TEST_F(PlaybackCommandsTest, PlayersNeedADocumentAndNeverRunTogether) {
    window->RunCommand(CommandId::MidiPlay);
    window->RunCommand(CommandId::EmuPlay);
    EXPECT_EQ(window->playState(), PlayState::Idle);
    EXPECT_TRUE(fake.calls.empty());

    NewDocument();
    AddNote(0, 0, 60, 500);
    window->RunCommand(CommandId::MidiPlay);
    EXPECT_EQ(window->playState(), PlayState::MidiPlay);
    EXPECT_EQ(window->playTimers().refresh().interval(), 10);
    EXPECT_EQ(window->playTimers().midi().interval(), 10);
    fake.calls.clear();
    window->RunCommand(CommandId::EmuPlay);
    window->RunCommand(CommandId::MidiPlay);
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_EQ(window->playState(), PlayState::MidiPlay);
}

TEST_F(PlaybackCommandsTest, MidiPlayRunsOnTheTimersAndStopsQuietlyAtTheEnd) {
    NewDocument();
    AddNote(0, 1, 60, 300);
    AddNote(200, 1, 64, 100);
    window->RunCommand(CommandId::MidiPlay);
    EXPECT_EQ(Title(), "Rolvik <Starting play...>");

    fake.calls.clear();
    TickAfter(50);
    EXPECT_THAT(fake.MidiMessages(), ElementsAre(NoteOn(1, 60, 100)));
    EXPECT_EQ(window->playPosition(), 50u);
    EXPECT_EQ(Title(), "Rolvik MIDI:00050ms");
    EXPECT_EQ(window->pianoRoll().state().cursorTime, 50u);

    fake.calls.clear();
    TickAfter(200);
    EXPECT_THAT(fake.MidiMessages(),
                ElementsAre(NoteOn(1, 64, 100), NoteOn(1, 60, 0), NoteOn(1, 64, 0)))
        << "every event sent: status 3 stops, turning off the notes still sounding";
    EXPECT_EQ(window->playState(), PlayState::Idle);
    EXPECT_FALSE(window->playTimers().refresh().isActive());
    EXPECT_FALSE(window->playTimers().midi().isActive());
    EXPECT_EQ(Title(), "Rolvik 00250ms");
    EXPECT_TRUE(recorder.messages.empty());
}

// With Repeat checked the song (no seek points: from its first event to its last) goes back to its
// start when its end has been played, the cursor and the title with it; the next window starts with
// Repeat as this one left it.
TEST_F(PlaybackCommandsTest, RepeatPlaysOnFromTheStartAndIsRememberedAcrossRuns) {
    NewDocument();
    AddNote(0, 1, 60, 100);
    AddNote(200, 1, 64, 100);
    QAction* repeat = window->action(CommandId::Repeat);
    EXPECT_EQ(repeat->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    ASSERT_FALSE(repeat->isChecked());
    repeat->trigger();
    EXPECT_TRUE(window->songStatus().shownText().contains("Repeat"));
    window->RunCommand(CommandId::MidiPlay);
    TickAfter(50);
    fake.calls.clear();
    TickAfter(200);
    EXPECT_THAT(fake.MidiMessages(),
                ElementsAre(NoteOn(1, 60, 0), NoteOn(1, 64, 100), NoteOn(1, 60, 100)));
    EXPECT_EQ(window->playState(), PlayState::MidiPlay);
    EXPECT_EQ(window->pianoRoll().state().cursorTime, 50u);
    EXPECT_EQ(Title(), "Rolvik MIDI:00050ms");

    window->RunCommand(CommandId::Stop);
    window->close();
    window = MakeWindow();
    EXPECT_TRUE(window->action(CommandId::Repeat)->isChecked());
    window->action(CommandId::Repeat)->trigger();
    window = MakeWindow();
    EXPECT_FALSE(window->action(CommandId::Repeat)->isChecked());
}

// A player that cannot start says why, once: no status check may follow with a second box.
TEST_F(PlaybackCommandsTest, AFailedStartShowsOnlyThePlayersOwnMessage) {
    ROLVIK_REQUIRE_CORPUS();
    const struct {
        CommandId command;
        const char* song;  // none: a new song
        ShownMessage shown;
    } cases[] = {
        {CommandId::MidiPlay,
         nullptr,
         {"EmuMIDIPlay: No events. Please put one or more notes onto pianoroll.", "Error",
          MessageIcon::Error}},
        {CommandId::EmuPlay,
         nullptr,
         {"EmuSMAFPlay: No data. Please compile before EmuPlay.", "Error", MessageIcon::Error}},
        {CommandId::MidiPlay,
         "dlunch__wave.mmf",
         {"EmuMIDIPlay: No events. Please put one or more notes onto pianoroll.", "Error",
          MessageIcon::Error}},
        {CommandId::EmuPlay,
         "libsmaf__Utada_Hikaru_-_First_Love.mmf",
         {std::string(kMa7NoticeText), "Notice", MessageIcon::Information}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.song ? test.song : "new song");
        if (test.song) {
            window->OpenFile(std::filesystem::path(ROLVIK_CORPUS_DIR) / test.song);
            ASSERT_NE(window->document(), nullptr);
        } else {
            NewDocument();
        }
        recorder.messages.clear();
        window->RunCommand(test.command);
        window->TimerTick(1);
        window->TimerTick(0);
        EXPECT_THAT(recorder.messages, ElementsAre(test.shown));
        EXPECT_EQ(window->playState(), PlayState::Idle);
        EXPECT_FALSE(window->playTimers().refresh().isActive());
        EXPECT_FALSE(window->playTimers().midi().isActive());
        EXPECT_EQ(window->pianoRoll().state().editLock, 0);
        EXPECT_EQ(Title(), "Rolvik 00000ms");
    }
}

TEST_F(PlaybackCommandsTest, EmuPlayLocksEditingAndShowsTheDeviceInTheTitle) {
    OpenDemoSong();
    window->RunCommand(CommandId::EmuPlay);
    EXPECT_EQ(window->playState(), PlayState::EmuPlay);
    EXPECT_EQ(window->pianoRoll().state().editLock, 1);
    EXPECT_FALSE(window->playTimers().midi().isActive());

    fake.positionMs = 1234;
    fake.emuInfo = 3;
    window->TimerTick(0);
    EXPECT_EQ(window->playPosition(), window->document()->StartOffset() + 1234);
    EXPECT_EQ(
        Title(),
        QString::asprintf("Rolvik EMU:%05ums LED Vib ", window->playPosition()).toStdString());

    fake.calls.clear();
    fake.status = 3;
    window->TimerTick(0);
    EXPECT_EQ(window->playState(), PlayState::Idle);
    EXPECT_EQ(window->pianoRoll().state().editLock, 0);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(PlaybackCommandsTest, SeekingARunningPlayerMovesItAndReportsFailure) {
    OpenDemoSong();
    window->RunCommand(CommandId::EmuPlay);
    fake.calls.clear();
    const std::uint32_t offset = window->document()->StartOffset();
    window->Seek(offset + 5000, MainWindow::SeekKind::Plain);
    EXPECT_EQ(window->playPosition(), offset + 5000);
    EXPECT_EQ(window->pianoRoll().state().cursorTime, offset + 5000);

    fake.results["MaSound_Seek"] = 1;
    window->Seek(offset + 100, MainWindow::SeekKind::Plain);
    EXPECT_EQ(recorder.messages.back(), (ShownMessage{"Seek failed", "Error", MessageIcon::Error}));

    window->RunCommand(CommandId::Rewind);
    EXPECT_EQ(window->playPosition(), offset);
}

struct FollowCase {
    FollowPlay mode;
    MainWindow::SeekKind kind;
    bool shift;
    bool moves;
};

TEST_F(PlaybackCommandsTest, SeeksFollowWithTheViewAsTheModeSays) {
    using Kind = MainWindow::SeekKind;
    const FollowCase cases[] = {
        {FollowPlay::NoFollow, Kind::Plain, true, false},
        {FollowPlay::NoFollow, Kind::GoTo, true, false},
        {FollowPlay::AlwaysFollow, Kind::Plain, false, true},
        {FollowPlay::FollowOnShift, Kind::Plain, false, false},
        {FollowPlay::FollowOnShift, Kind::Plain, true, true},
        {FollowPlay::FollowOnShift, Kind::GoTo, false, true},
        {FollowPlay::PageFollow, Kind::Plain, false, false},
        {FollowPlay::PageFollow, Kind::Plain, true, true},
        {FollowPlay::PageFollow, Kind::GoTo, false, true},
    };
    NewDocument();
    AddNote(60000, 0, 60, 100);
    for (const FollowCase& test : cases) {
        CurrentSettings().followPlay = test.mode;
        shiftHeld = test.shift;
        window->pianoRoll().MoveView(0, 0);
        window->Seek(50000, test.kind);
        // 50000 ms less 100 pixels of follow space at 25 ms a pixel.
        EXPECT_EQ(window->pianoRoll().ViewStartTime(), test.moves ? 47500 : 0)
            << "mode " << static_cast<int>(test.mode) << " shift " << test.shift;
    }
}

// Space plays or stops; Home and End put the play position at the song's start and end and show
// it, the end the follow space left of the right edge.
TEST_F(PlaybackCommandsTest, SpacePlaysOrStopsAndHomeAndEndGoToTheSongsStartAndEnd) {
    OpenDemoSong();
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_End);
    EXPECT_EQ(window->playPosition(), 32640u);
    const int width = window->pianoRoll().viewport()->width();
    EXPECT_EQ(window->pianoRoll().ViewStartTime(), (32640 / 25 - (width - 100)) * 25);
    QTest::keyClick(window.get(), Qt::Key_Home);
    EXPECT_EQ(window->playPosition(), 0u);
    EXPECT_EQ(window->pianoRoll().ViewStartTime(), 0);

    QTest::keyClick(window.get(), Qt::Key_Space);
    EXPECT_EQ(window->playState(), PlayState::EmuPlay);
    QTest::keyClick(window.get(), Qt::Key_Space);
    EXPECT_EQ(window->playState(), PlayState::Idle);
    window->RunCommand(CommandId::MidiPlay);
    QTest::keyClick(window.get(), Qt::Key_Space);
    EXPECT_EQ(window->playState(), PlayState::Idle) << "Space stops MidiPlay too";
    EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(PlaybackCommandsTest, PageFollowTurnsThePageOncePlayPassesTheRightEdge) {
    NewDocument();
    AddNote(0, 0, 60, 100);
    AddNote(60000, 0, 60, 100);
    CurrentSettings().followPlay = FollowPlay::PageFollow;
    window->RunCommand(CommandId::MidiPlay);
    // The window is 800 pixels wide: (0 + 800 - 100) * 25 ms = 17500 ms.
    TickAfter(17000);
    EXPECT_EQ(window->pianoRoll().ViewStartTime(), 0);
    TickAfter(600);
    EXPECT_EQ(window->pianoRoll().ViewStartTime(), 17600 - 2500);
}

// A failing player reports from inside a tick, and the message box's own event loop delivers
// further ticks: they must not run the player again underneath the box.
TEST_F(PlaybackCommandsTest, ATickThatReportsIsNotReenteredByTheTimers) {
    NewDocument();
    AddNote(0, 0, 60, 100);
    AddNote(5000, 0, 62, 100);
    window->RunCommand(CommandId::MidiPlay);
    fake.results["SetMidiMsg"] = 1;
    std::vector<std::string> boxes;
    const ScopedMessageHandler modalLoop([&](std::string_view text, std::string_view, MessageIcon) {
        boxes.emplace_back(text);
        nowMs += 10;
        window->TimerTick(1);
        window->TimerTick(0);
    });
    TickAfter(20);
    EXPECT_THAT(boxes, ElementsAre("EmuMIDI: DoEvent NoteON Failed",
                                   "EmuMIDI: EmuMIDIEvent DoEvent Failed"));
}

// Counts the paints of a widget.
class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

TEST_F(PlaybackCommandsTest, TheDetailWindowIsRepaintedAtMostEveryTenthOfASecond) {
    NewDocument();
    AddNote(0, 0, 60, 100);
    AddNote(9000, 0, 60, 100);
    window->RunCommand(CommandId::ShowDetail);
    QWidget* report = window->detailView().viewport();
    PaintCounter counter;
    report->installEventFilter(&counter);
    window->RunCommand(CommandId::MidiPlay);
    std::vector<int> paints;
    for (const std::uint32_t step : {200, 50, 40, 20}) {
        QCoreApplication::processEvents();
        counter.paints = 0;
        TickAfter(step);
        QCoreApplication::processEvents();
        paints.push_back(counter.paints);
    }
    EXPECT_EQ(paints, (std::vector<int>{1, 0, 0, 1})) << "after 200, 250, 290 and 310 ms";
}

// Deleting the very event MidiPlay sends next must not leave it pointing at freed memory (the
// sanitizer build catches the read); play goes on with the event behind it.
TEST_F(PlaybackCommandsTest, DeletingMidiPlaysNextEventWhilePlaying) {
    NewDocument();
    AddNote(0, 0, 60, 100);
    Event* next = AddNote(1000, 0, 62, 500);
    AddNote(2000, 0, 64, 100);
    PianoRoll& roll = window->pianoRoll();
    roll.SetRowHeight(12);
    roll.verticalScrollBar()->setValue(700);
    window->RunCommand(CommandId::MidiPlay);
    TickAfter(500);
    ASSERT_EQ(engine->midi().MidiPlayer().nextEvent, next);

    // Key 62 lies at y 92..103 and 1000..1500 ms at x 40..59.
    QTest::mousePress(roll.viewport(), Qt::RightButton, Qt::NoModifier, QPoint(50, 97));
    EXPECT_NE(engine->midi().MidiPlayer().nextEvent, next);

    fake.calls.clear();
    TickAfter(2000);
    EXPECT_THAT(fake.MidiMessages(), Contains(NoteOn(0, 64, 100)));
    EXPECT_THAT(fake.MidiMessages(), ::testing::Not(Contains(NoteOn(0, 62, 100))));
}

}  // namespace
}  // namespace rolvik
