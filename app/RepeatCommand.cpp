// Music → Repeat: a check item that the players follow at once and the next run remembers.

#include <QAction>

#include "MainWindow.h"
#include "StatusBar.h"
#include "UserSettings.h"

namespace rolvik {

void MainWindow::SetUpRepeat() {
    QAction* repeat = action(CommandId::Repeat);
    repeat->setCheckable(true);
    repeat->setChecked(RememberedRepeat());
    ApplyRepeat(repeat->isChecked());
}

void MainWindow::SwitchRepeat() {
    const bool on = action(CommandId::Repeat)->isChecked();
    ApplyRepeat(on);
    RememberRepeat(on);
}

void MainWindow::ApplyRepeat(bool on) {
    playback_.SetRepeat(on);
    statusBar_->SetRepeat(on);
}

}  // namespace rolvik
