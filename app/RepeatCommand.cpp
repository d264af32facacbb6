// Music → Repeat: a check item that the players follow at once and the next run remembers.

#include <QAction>
#include <QSettings>

#include "MainWindow.h"

namespace rolvik {
namespace {

const QString kRepeatKey = QStringLiteral("playback/repeat");

QSettings RepeatSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Rolvik"),
                     QStringLiteral("rolvik"));
}

}  // namespace

void MainWindow::SetUpRepeat() {
    QAction* repeat = action(CommandId::Repeat);
    repeat->setCheckable(true);
    repeat->setChecked(RepeatSettings().value(kRepeatKey, false).toBool());
    playback_.SetRepeat(repeat->isChecked());
}

void MainWindow::SwitchRepeat() {
    const bool on = action(CommandId::Repeat)->isChecked();
    playback_.SetRepeat(on);
    RepeatSettings().setValue(kRepeatKey, on);
}

}  // namespace rolvik
