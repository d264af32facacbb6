#include "Startup.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <memory>

#include "MainWindow.h"
#include "MessageBoxes.h"
#include "playback/EmulatorBinding.h"
#include "playback/EngineLocation.h"
#include "playback/VoiceSet.h"
#include "ui/settings/Settings.h"

namespace rolvik {

int RunRolvik(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Rolvik"));
    QApplication::setDesktopFileName(QStringLiteral("rolvik"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/rolvik/icon.png")));

    const ScopedMessageHandler messageBoxes(MessageBoxHandler());

    SetDefaultSettings();
    if (!LoadEmulator()) {
        return 0;
    }
    int exitCode = 0;
    {
        MainWindow window(ExecutableFolder() / kVoiceSetFileName, ShellHooks::Desktop());
        window.show();
        window.setFocus();
        const QStringList arguments = QApplication::arguments();
        if (arguments.size() > 1) {
            window.OpenFile(QFile::encodeName(arguments.at(1)).toStdString());
        }
        exitCode = QApplication::exec();
    }
    ReleaseEmulator();
    return exitCode;
}

}  // namespace rolvik
