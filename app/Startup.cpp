#include "Startup.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <memory>

#include "MainWindow.h"
#include "MessageBoxes.h"
#include "playback/EngineLocation.h"
#include "playback/EngineSession.h"
#include "ui/settings/Settings.h"

namespace rolvik {

int RunRolvik(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rolvik"));
    QApplication::setDesktopFileName(QStringLiteral("rolvik"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/rolvik/icon.png")));

    const ScopedMessageHandler messageBoxes(MessageBoxHandler());

    SetDefaultSettings();
    const std::unique_ptr<EngineSession> engine =
        StartEngineSession(ExecutableFolder() / kVoiceSetFileName, EngineControls{});
    if (!engine) {
        return 0;
    }
    MainWindow window(*engine, ShellHooks::Desktop());
    window.show();
    window.setFocus();
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        window.OpenFile(QFile::encodeName(arguments.at(1)).toStdString());
    }
    return QApplication::exec();
}

}  // namespace rolvik
