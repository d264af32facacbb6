#include <gmock/gmock.h>

#include <QScrollBar>
#include <iomanip>
#include <sstream>
#include <vector>

#include "ShellTest.h"
#include "core/Loader.h"

namespace rolvik {
namespace {

using ::testing::Contains;

ByteVector NoteOn(int channel, int key, int velocity) {
    return {static_cast<std::uint8_t>(0x90 + channel), static_cast<std::uint8_t>(key),
            static_cast<std::uint8_t>(velocity)};
}

// Rows of 12 pixels scrolled so that key 64 covers y 68..79, key 62 y 92..103 and key 60 y
// 116..127; at 25 ms a pixel x is the time in ms divided by 25.
constexpr int kKey64Y = 73;
constexpr int kKey62Y = 97;
constexpr int kKey60Y = 121;

int X(std::uint32_t timeMs) {
    return static_cast<int>(timeMs / 25);
}

// Every field of every event, and where start and stop point, so that two dumps are equal only
// when the lists are.
std::string Dump(const Smaf& document) {
    std::ostringstream out;
    int index = 0;
    for (const Event* event = document.events.get(); event; event = event->next.get(), ++index) {
        out << index << ": " << event->delta << ' ' << event->time << ' ' << std::hex
            << int{event->status};
        for (const std::uint8_t byte : event->data) {
            out << ' ' << std::setw(2) << std::setfill('0') << int{byte};
        }
        out << std::dec << (event == document.start ? " start" : "")
            << (event == document.stop ? " stop" : "") << '\n';
    }
    return out.str();
}

class UndoRedoTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        roll().Command(PianoRollCommand::SetRowHeight, 12);
        roll().verticalScrollBar()->setValue(700);
    }

    PianoRoll& roll() const { return window->pianoRoll(); }
    QWidget* view() const { return roll().viewport(); }

    // A song whose equal times and start and stop make positions matter: two notes at 1000 ms, a
    // control change between them, start on the second event and stop on the last.
    Smaf& SongWithEqualTimes() {
        Smaf& document = NewDocument();
        document.durationBase = 20;
        document.gateBase = 20;
        AddNote(0, 1, 60, 400);
        Event* second = AddNote(1000, 0, 62, 500);
        Add(1000, 0xB0, {7, 100});
        AddNote(1000, 2, 64, 500);
        Event* last = Add(1500, 0xFF, {0x2F, 0x00});
        document.start = second;
        document.stop = last;
        return document;
    }

    void MoveMouse(QPoint point) {
        QMouseEvent move(QEvent::MouseMove, point, view()->mapToGlobal(point), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view(), &move);
    }
    void Drag(QPoint from, std::initializer_list<QPoint> path) {
        QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, from);
        for (const QPoint point : path) {
            MoveMouse(point);
        }
        QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, *std::prev(path.end()));
    }
    // The platform's order: press, release, double-click, release.
    void DoubleClick(QPoint point) {
        QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, point);
        QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, point);
        QMouseEvent click(QEvent::MouseButtonDblClick, point, view()->mapToGlobal(point),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view(), &click);
        QTest::mouseRelease(view(), Qt::LeftButton, Qt::NoModifier, point);
    }
    void RightClick(QPoint point) {
        QTest::mousePress(view(), Qt::RightButton, Qt::NoModifier, point);
    }

    bool undoEnabled() const { return window->action(CommandId::Undo)->isEnabled(); }
    bool redoEnabled() const { return window->action(CommandId::Redo)->isEnabled(); }
};

// Each gesture is undone back to the exact list before it and redone to the exact list after it:
// a deletion of the start event, an insertion among equal times, a move across the end of the
// list and a resize.
TEST_F(UndoRedoTest, UndoAndRedoRestoreTheExactListAfterEveryKindOfEdit) {
    Smaf& document = SongWithEqualTimes();
    EXPECT_FALSE(undoEnabled());
    EXPECT_FALSE(redoEnabled());
    std::vector<std::string> dumps{Dump(document)};

    RightClick(QPoint(X(1100), kKey62Y));
    dumps.push_back(Dump(document));
    DoubleClick(QPoint(X(1000), kKey62Y));
    dumps.push_back(Dump(document));
    Drag(QPoint(X(100), kKey60Y), {QPoint(X(2000), kKey60Y), QPoint(X(4000), kKey64Y)});
    dumps.push_back(Dump(document));
    Drag(QPoint(X(1450), kKey64Y), {QPoint(X(1900), kKey64Y)});
    dumps.push_back(Dump(document));
    for (std::size_t step = 1; step < dumps.size(); ++step) {
        ASSERT_NE(dumps[step], dumps[step - 1]) << "gesture " << step << " changed nothing";
    }
    EXPECT_TRUE(undoEnabled());
    EXPECT_FALSE(redoEnabled());

    for (std::size_t step = dumps.size() - 1; step > 0; --step) {
        window->RunCommand(CommandId::Undo);
        EXPECT_EQ(Dump(document), dumps[step - 1]) << "undoing gesture " << step;
    }
    EXPECT_FALSE(undoEnabled());
    EXPECT_TRUE(redoEnabled());
    for (std::size_t step = 1; step < dumps.size(); ++step) {
        window->RunCommand(CommandId::Redo);
        EXPECT_EQ(Dump(document), dumps[step]) << "redoing gesture " << step;
    }
    EXPECT_TRUE(undoEnabled());
    EXPECT_FALSE(redoEnabled());
}

TEST_F(UndoRedoTest, ADragIsOneStepAndTheKeysReachTheMenuItems) {
    Smaf& document = SongWithEqualTimes();
    const std::string before = Dump(document);
    Drag(QPoint(X(1100), kKey62Y), {QPoint(X(1300), kKey62Y), QPoint(X(1700), kKey64Y),
                                    QPoint(X(2600), kKey60Y), QPoint(X(2500), kKey60Y)});
    const std::string after = Dump(document);
    ASSERT_NE(after, before);

    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Dump(document), before);
    EXPECT_FALSE(undoEnabled()) << "the whole drag was one step";
    QTest::keyClick(window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Dump(document), after);
    window->RunCommand(CommandId::Undo);
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Dump(document), after);
}

// A click on a note, or a drag that puts it back where it was, leaves nothing to undo. (The note
// on key 64 is the last of the three events at 1000 ms, where a move puts it back.)
TEST_F(UndoRedoTest, AGestureThatChangesNothingLeavesNoStep) {
    // Re-placing the end of the sequence moves the stop off it, a change of its own.
    SongWithEqualTimes().stop = nullptr;
    Drag(QPoint(X(1100), kKey64Y), {QPoint(X(1101), kKey64Y)});
    Drag(QPoint(X(1100), kKey64Y), {QPoint(X(1600), kKey64Y), QPoint(X(1100), kKey64Y)});
    EXPECT_FALSE(undoEnabled());
}

// Ctrl-Z while the mouse still drags ends the drag, and the drag is what is taken back.
TEST_F(UndoRedoTest, UndoDuringADragTakesBackTheDragSoFar) {
    Smaf& document = SongWithEqualTimes();
    const std::string before = Dump(document);
    QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, QPoint(X(1100), kKey62Y));
    MoveMouse(QPoint(X(2100), kKey62Y));
    window->RunCommand(CommandId::Undo);
    EXPECT_EQ(Dump(document), before);
    EXPECT_EQ(roll().state().movingNote, nullptr);

    MoveMouse(QPoint(X(2500), kKey62Y));
    EXPECT_EQ(Dump(document), before) << "the drag ended with the undo";
}

TEST_F(UndoRedoTest, ReplacingTheDocumentForgetsTheHistory) {
    SongWithEqualTimes();
    DoubleClick(QPoint(X(2000), kKey60Y));
    window->RunCommand(CommandId::Undo);
    ASSERT_TRUE(redoEnabled());
    DoubleClick(QPoint(X(2000), kKey60Y));
    EXPECT_FALSE(redoEnabled()) << "a new edit drops what was undone";

    window->RunCommand(CommandId::Compile);
    EXPECT_FALSE(undoEnabled()) << "compiling rebuilds the list";
    window->RunCommand(CommandId::Undo);

    const auto editThen = [this](CommandId replace) {
        RightClick(QPoint(X(2100), kKey60Y));
        DoubleClick(QPoint(X(2100), kKey60Y));
        EXPECT_TRUE(undoEnabled());
        window->RunCommand(replace);
        EXPECT_FALSE(undoEnabled()) << static_cast<int>(replace);
        EXPECT_FALSE(redoEnabled()) << static_cast<int>(replace);
    };
    editThen(CommandId::New);
    OpenDemoSong();
    openPath = QString(ROLVIK_SOURCE_DIR) + "/res/demo.mmf";
    editThen(CommandId::LoadSmaf);  // the dialog gives the demo song again
    editThen(CommandId::Close);
}

// Undo takes out the very event MidiPlay sends next; a later edit then frees it. MidiPlay must have
// stepped off it (the sanitizer build catches the read) and goes on with the event behind it.
TEST_F(UndoRedoTest, UndoDuringMidiPlayKeepsThePlayerOffTheEventsItTakesOut) {
    NewDocument();
    AddNote(0, 0, 60, 100);
    AddNote(2000, 0, 64, 100);
    DoubleClick(QPoint(X(1000), kKey62Y));
    const Event* inserted = window->document()->events->next.get();
    ASSERT_EQ(inserted->time, 1000u);
    window->RunCommand(CommandId::MidiPlay);
    TickAfter(500);
    ASSERT_EQ(MidiPlayer().nextEvent, inserted);

    window->RunCommand(CommandId::Undo);
    EXPECT_NE(MidiPlayer().nextEvent, inserted);
    RightClick(QPoint(X(50), kKey60Y));
    ASSERT_FALSE(redoEnabled()) << "the undone insertion is freed";

    fake.calls.clear();
    TickAfter(2000);
    EXPECT_THAT(fake.MidiMessages(), Contains(NoteOn(0, 64, 100)));
    EXPECT_THAT(fake.MidiMessages(), ::testing::Not(Contains(NoteOn(0, 62, 127))));
}

}  // namespace
}  // namespace rolvik
