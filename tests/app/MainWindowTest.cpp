#include <gmock/gmock.h>

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QScreen>
#include <QScrollBar>
#include <QToolBar>
#include <QUrl>

#include "ShellTest.h"
#include "app/MessageBoxes.h"
#include "app/StatusBar.h"
#include "app/UserSettings.h"
#include "ui/detail/DetailView.h"

namespace rolvik {
namespace {

using ::testing::StartsWith;

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

TEST_F(MainWindowTest, RemembersItsPlaceTheLastFolderAndTheRecentFilesAcrossRuns) {
    const QTemporaryDir folder;
    QStringList songs;
    for (int i = 0; i < 9; ++i) {
        songs.append(folder.filePath(QStringLiteral("song%1.mmf").arg(i)));
        ASSERT_TRUE(QFile::copy(QString(ROLVIK_SOURCE_DIR) + "/res/demo.mmf", songs.back()));
    }
    openPath = songs[0];
    window->RunCommand(CommandId::LoadSmaf);
    EXPECT_EQ(LastFolder(), folder.path());
    for (const QString& song : songs.mid(1)) {
        window->OpenFile(QFile::encodeName(song).toStdString());
    }
    window->OpenFile(QFile::encodeName(songs[8]).toStdString());
    window->resize(500, 300);
    window->close();

    window = MakeWindow();
    EXPECT_EQ(window->size(), QSize(500, 300));
    const QList<QAction*> recent = window->recentFilesMenu().actions();
    ASSERT_EQ(recent.size(), kRecentFileCount) << "the oldest, song0, dropped out";
    EXPECT_EQ(recent[0]->text(), "&1 " + QDir::toNativeSeparators(songs[8]));
    EXPECT_EQ(recent[7]->text(), "&8 " + QDir::toNativeSeparators(songs[1]));

    ASSERT_TRUE(QFile::remove(songs[5]));
    recent[3]->trigger();
    EXPECT_EQ(window->document(), nullptr);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text,
              QFile::encodeName(QDir::toNativeSeparators(songs[5])).toStdString() +
                  "\nThis file is gone; it is taken off the recent files.");
    EXPECT_EQ(recorder.messages[0].caption, "Notice");
    EXPECT_FALSE(RecentFiles().contains(songs[5]));
    EXPECT_EQ(window->recentFilesMenu().actions().size(), kRecentFileCount - 1);
}

TEST_F(MainWindowTest, TheStatusBarTellsWhichSongWhereAndWhetherItChanged) {
    StatusBar& status = window->songStatus();
    EXPECT_EQ(status.shownText(), "");
    OpenDemoSong();
    EXPECT_EQ(status.shownText(), "demo.mmf | 0:00.000 / 0:32.640");
    window->Seek(2500, MainWindow::SeekKind::Plain);
    EXPECT_EQ(status.shownText(), "demo.mmf | 0:02.500 / 0:32.640");

    QTest::mouseDClick(window->pianoRoll().viewport(), Qt::LeftButton, {}, QPoint(100, 13));
    EXPECT_THAT(status.shownText().toStdString(),
                StartsWith("demo.mmf* | edits not compiled: F5 plays the last compile | 0:02.500"));
    window->RunCommand(CommandId::Compile);
    EXPECT_THAT(status.shownText().toStdString(), StartsWith("demo.mmf* | 0:02.500 / "));
    window->RunCommand(CommandId::EmuPlay);
    status.SetRepeat(true);
    EXPECT_THAT(status.shownText().toStdString(),
                StartsWith("demo.mmf* | EmuPlay running | Repeat | 0:02.500 / "));
    window->RunCommand(CommandId::Stop);
    status.SetRepeat(false);

    const QTemporaryDir folder;
    savePath = folder.filePath("saved.mmf");
    window->RunCommand(CommandId::Save);
    EXPECT_THAT(status.shownText().toStdString(), StartsWith("saved.mmf | 0:02.500 / "));
    window->RunCommand(CommandId::New);
    EXPECT_THAT(status.shownText().toStdString(), StartsWith("New song | "));
}

TEST_F(MainWindowTest, RemembersTheRowHeightAndFollowPlaybackAcrossRuns) {
    EXPECT_EQ(window->pianoRoll().rowHeight(), 3);
    QAction& follow = *window->action(CommandId::FollowPlayback);
    EXPECT_FALSE(follow.isChecked());
    follow.trigger();
    EXPECT_EQ(CurrentSettings().followPlay, FollowPlay::PageFollow);
    for (int step = 0; step < 3; ++step) {
        window->RunCommand(CommandId::TallerKeys);
    }
    EXPECT_EQ(window->pianoRoll().rowHeight(), 6);
    window->close();

    SetDefaultSettings();
    window = MakeWindow();
    EXPECT_EQ(window->pianoRoll().rowHeight(), 6);
    EXPECT_EQ(CurrentSettings().followPlay, FollowPlay::PageFollow);
    EXPECT_TRUE(window->action(CommandId::FollowPlayback)->isChecked());
    window->action(CommandId::FollowPlayback)->trigger();
    EXPECT_EQ(CurrentSettings().followPlay, FollowPlay::NoFollow);
}

// Also run on a screen of two device pixels per pixel (app_tests_at_scale_2).
TEST_F(MainWindowTest, WindowsFitTheScreenAndToolbarImagesComeAtItsDensity) {
    window = MakeWindow();
    const QSize room = window->screen()->availableGeometry().size();
    EXPECT_LE(window->width(), room.width());
    EXPECT_LE(window->height(), room.height());
    EXPECT_LE(window->detailView().width(), room.width());
    EXPECT_LE(window->detailView().height(), room.height());

    const qreal ratio = window->devicePixelRatioF();
    const QIcon icon = window->action(CommandId::New)->icon();
    const QImage plain = icon.pixmap(QSize(16, 16), 1.0).toImage();
    const QImage dense = icon.pixmap(QSize(16, 16), ratio).toImage();
    EXPECT_EQ(dense.size(), QSize(16, 16) * ratio);
    EXPECT_EQ(dense.scaled(plain.size()), plain) << "drawn for the density, not smoothed up";
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
