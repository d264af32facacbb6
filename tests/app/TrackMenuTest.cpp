#include <gmock/gmock.h>

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSlider>
#include <QToolBar>

#include "ShellTest.h"
#include "app/Toolbar.h"
#include "app/TrackMenu.h"
#include "playback/EmulatorBinding.h"

namespace rolvik {
namespace {

class TrackMenuTest : public ShellTest {};

TEST_F(TrackMenuTest, MenusCarryTheirTextsAndShortcuts) {
    EXPECT_EQ(window->action(CommandId::Compile)->text(), "C&ompile SMAF to memory\tCtrl-M");
    EXPECT_EQ(window->action(CommandId::Compile)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_M));
    EXPECT_EQ(window->action(CommandId::Exit)->shortcut(), QKeySequence(Qt::ALT | Qt::Key_X));
    EXPECT_EQ(window->action(CommandId::ShowDetail)->text(), "&Show detail...");
    EXPECT_TRUE(window->action(CommandId::ShowDetail)->shortcut().isEmpty())
        << "Ctrl+D works without showing in the menu, whose text names no shortcut";
    QStringList titles;
    for (const QAction* menu : window->menuBar()->actions()) {
        titles << menu->text();
    }
    EXPECT_EQ(titles.join(','), "&File,&Edit,&Music,&View,&Window,&Help");
}

TEST_F(TrackMenuTest, TheToolbarHoldsTheCommandsInOrderAndTheVolume) {
    const QList<QAction*> items = window->toolbar().actions();
    ASSERT_EQ(items.size(), 17);
    EXPECT_EQ(items[0], window->action(CommandId::New));
    EXPECT_EQ(items[4], window->action(CommandId::Close));
    EXPECT_TRUE(items[5]->isSeparator());
    EXPECT_EQ(items[10], window->action(CommandId::MidiReset));
    EXPECT_EQ(items[12], window->action(CommandId::ShowDetail));
    EXPECT_EQ(items[14], window->action(CommandId::HelpIndex));
    EXPECT_EQ(window->toolbar().widgetForAction(items[16]), &window->volumeControl());
    EXPECT_EQ(items[0]->toolTip(), "New (Ctrl+N)");
    EXPECT_EQ(items[6]->toolTip(), "EmuPlay (F5)");
    EXPECT_EQ(items[12]->toolTip(), "Show detail... (Ctrl+D)");
    EXPECT_EQ(items[0]->iconText(), "New");

    window->volumeControl().setValue(90);
    EXPECT_EQ(engine->controls().volume, 90) << "the slider sets the volume that Shift+V enters";
}

TEST(Toolbar, TheStripIsCutIntoSixteenPixelCellsWithMagentaTransparent) {
    test::EnsureQtApplication();
    QImage strip(40, 16, QImage::Format_RGB32);
    strip.fill(QColor(255, 0, 255));
    strip.setPixelColor(17, 3, QColor(255, 0, 0));
    const std::vector<QIcon> icons = CutToolbarStrip(strip);
    ASSERT_EQ(icons.size(), 2u) << "a cell cut short at the end is no image";
    const QImage second = icons[1].pixmap(16, 16).toImage();
    EXPECT_EQ(second.pixelColor(1, 3), QColor(255, 0, 0));
    EXPECT_EQ(second.pixelColor(0, 0).alpha(), 0);
}

TEST_F(TrackMenuTest, TrackItemsAndKeysChooseTheVisibleTrack) {
    EXPECT_EQ(TrackMenuGrid::TrackItemText(0), "1:Track1(Silver)");
    EXPECT_EQ(TrackMenuGrid::TrackItemText(12), "T:Track13(DarkYellow)");
    EXPECT_EQ(TrackMenuGrid::TrackItemText(15), "I:Track16(Gray)");

    TrackMenuGrid& grid = window->trackMenu();
    auto* menu = qobject_cast<QMenu*>(grid.parentWidget());
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu, Qt::Key_W);
    EXPECT_EQ(window->pianoRoll().visibleTrack(), 9);
    QTest::keyClick(menu, Qt::Key_0);
    EXPECT_EQ(window->pianoRoll().visibleTrack(), kAllTracks);

    window->RunCommand(CommandId::Track1);
    EXPECT_EQ(window->pianoRoll().visibleTrack(), 0);
    window->RunCommand(CommandId::Track2);
    EXPECT_EQ(window->pianoRoll().visibleTrack(), 1);
    window->RunCommand(CommandId::Track16);
    EXPECT_EQ(window->pianoRoll().visibleTrack(), 15);
}

// The label at the top of the first column is drawn as a disabled item: no ink of its text is as
// dark as the text of an item that can be chosen.
TEST_F(TrackMenuTest, TheLabelIsGreyedAsADisabledItem) {
    TrackMenuGrid& grid = window->trackMenu();
    grid.resize(grid.sizeHint());
    const QImage image = grid.grab().toImage();
    int darkest = 255;
    for (int y = 0; y < grid.fontMetrics().height(); ++y) {
        for (int x = 0; x < image.width() / 2; ++x) {
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
        }
    }
    EXPECT_GT(darkest, qGray(grid.palette().color(QPalette::Active, QPalette::Text).rgb()) + 64);
}

TEST_F(TrackMenuTest, AHighlightedTrackItemIsDrawnInItsColourInAPurpleFrame) {
    TrackMenuGrid& grid = window->trackMenu();
    grid.resize(grid.sizeHint());
    // The bottom right item is the last track's.
    const QPointF inTrack16(grid.width() - 5, grid.height() - 3);
    QMouseEvent move(QEvent::MouseMove, inTrack16, grid.mapToGlobal(inTrack16), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&grid, &move);
    ASSERT_EQ(grid.highlighted(), 15);
    const int track = 15;
    const QImage image = grid.grab().toImage();
    QRect cell;
    for (int y = 0; y < image.height(); ++y) {
        if (image.pixelColor(image.width() - 1, y) == QColor(128, 0, 128)) {
            cell = cell.isNull() ? QRect(0, y, 1, 1) : cell.united(QRect(0, y, 1, 1));
        }
    }
    ASSERT_FALSE(cell.isNull());
    const Rgb colour = CurrentSettings().trackColours[static_cast<std::size_t>(track)];
    EXPECT_EQ(image.pixelColor(image.width() - 3, cell.center().y()),
              QColor(colour.red, colour.green, colour.blue));
}

}  // namespace
}  // namespace rolvik
