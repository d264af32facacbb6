#include <gmock/gmock.h>

#include <QMimeData>
#include <QScrollBar>
#include <QUrl>

#include "ShellTest.h"
#include "app/MessageBoxes.h"
#include "ui/detail/DetailView.h"

namespace rolvik {
namespace {

class MainWindowTest : public ShellTest {};

void Activate(QWidget* window) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

TEST_F(MainWindowTest, ADroppedFileReplacesTheDocument) {
    NewDocument();
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QString(ROLVIK_SOURCE_DIR) + "/res/demo.mmf"),
                   QUrl::fromLocalFile("/nonexistent/second.mmf")});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    ASSERT_NE(window->document(), nullptr);
    EXPECT_FALSE(window->document()->fileData.empty()) << "the first file, not a new document";
    EXPECT_TRUE(recorder.messages.empty()) << "the second file is not opened";
}

TEST_F(MainWindowTest, TheWheelOverTheWindowScrollsThePianoRoll) {
    QScrollBar& bar = *window->pianoRoll().verticalScrollBar();
    bar.setValue(30);
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window.get(), &wheel);
    QCoreApplication::processEvents();
    EXPECT_EQ(bar.value(), 33) << "one key row down";
}

// Shortcuts belong to the main window: a key pressed in the detail window does nothing.
TEST_F(MainWindowTest, ShortcutsWorkInTheMainWindowOnly) {
    NewDocument();
    AddNote(0, 0, 60, 500);
    window->show();
    window->RunCommand(CommandId::ShowDetail);
    QWidget& detail = window->detailView();
    Activate(&detail);
    QTest::keyClick(&detail, Qt::Key_F6);
    EXPECT_EQ(window->playState(), PlayState::Idle);

    Activate(window.get());
    QTest::keyClick(window.get(), Qt::Key_F6);
    EXPECT_EQ(window->playState(), PlayState::MidiPlay);
}

TEST(MessageBoxes, CarryTheExactTextCaptionAndIcon) {
    test::EnsureQtApplication();
    QMessageBox error;
    ConfigureMessageBox(error, "Seek failed", "Error", MessageIcon::Error);
    EXPECT_EQ(error.text(), "Seek failed");
    EXPECT_EQ(error.windowTitle(), "Error");
    EXPECT_EQ(error.icon(), QMessageBox::Critical);
    EXPECT_EQ(error.windowModality(), Qt::ApplicationModal);

    QMessageBox notice;
    ConfigureMessageBox(notice, "a\nb", "Notice", MessageIcon::Information);
    EXPECT_EQ(notice.icon(), QMessageBox::Information);
    EXPECT_EQ(notice.text(), "a\nb");

    QMessageBox bug;
    ConfigureMessageBox(bug, "inconsistent", "What the hell...?", MessageIcon::Error);
    EXPECT_EQ(bug.icon(), QMessageBox::NoIcon);
    EXPECT_EQ(bug.standardButtons(), QMessageBox::Ok);
}

}  // namespace
}  // namespace rolvik
