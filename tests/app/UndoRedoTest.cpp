#include <gmock/gmock.h>

#include <QScrollBar>

#include "ShellTest.h"
#include "tests/support/EventListDump.h"

namespace rolvik {
namespace {

using testing::Dump;

// Rows of 12 pixels scrolled so that key 62 covers y 92..103 and key 60 y 116..127; at 25 ms a
// pixel x is the time in ms divided by 25.
constexpr int kKey62Y = 97;
constexpr int kKey60Y = 121;

int X(std::uint32_t timeMs) {
    return static_cast<int>(timeMs / 25);
}

class UndoRedoTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        roll().SetRowHeight(12);
        roll().verticalScrollBar()->setValue(700);
    }

    PianoRoll& roll() const { return window->pianoRoll(); }
    QWidget* view() const { return roll().viewport(); }

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
    bool undoEnabled() const { return window->action(CommandId::Undo)->isEnabled(); }
};

TEST_F(UndoRedoTest, ADragIsOneStepAndTheKeysReachTheMenuItems) {
    Smaf& document = NewDocument();
    AddNote(1000, 0, 62, 500);
    const std::string before = Dump(document);
    Drag(QPoint(X(1100), kKey62Y), {QPoint(X(1700), kKey62Y), QPoint(X(2500), kKey60Y)});
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

// Ctrl-Z while the mouse still drags ends the drag, and the drag is what is taken back.
TEST_F(UndoRedoTest, UndoDuringADragTakesBackTheDragSoFar) {
    Smaf& document = NewDocument();
    AddNote(1000, 0, 62, 500);
    const std::string before = Dump(document);
    QTest::mousePress(view(), Qt::LeftButton, Qt::NoModifier, QPoint(X(1100), kKey62Y));
    MoveMouse(QPoint(X(2100), kKey62Y));
    window->RunCommand(CommandId::Undo);
    EXPECT_EQ(Dump(document), before);
    EXPECT_EQ(roll().state().movingNote, nullptr);

    MoveMouse(QPoint(X(2500), kKey62Y));
    EXPECT_EQ(Dump(document), before) << "the drag ended with the undo";
}

}  // namespace
}  // namespace rolvik
