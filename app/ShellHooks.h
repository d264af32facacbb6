#pragma once

#include <QMenu>
#include <QPoint>
#include <QString>
#include <functional>

#include "CompileQuestion.h"
#include "RecordingDialog.h"
#include "convert/RingtoneChoice.h"

class QWidget;

namespace rolvik {

// What the main window asks of the desktop: file dialogs, the keyboard's Shift state, pop-up
// menus and the About box. Tests replace them; the defaults are the real dialogs and menus.
struct ShellHooks {
    std::function<QString(QWidget* owner)> askOpenPath;
    // The dialog starts with `suggestedName`, the file name the song would have (may be empty).
    std::function<QString(QWidget* owner, const QString& suggestedName)> askSavePath;
    // The file Export writes and the type chosen in the dialog's list.
    std::function<QString(QWidget* owner, QString& chosenFilter)> askExportPath;
    // How long an audio export plays the song, starting from the last choice; none when cancelled.
    std::function<std::optional<RingtoneChoice>(QWidget* owner, const RingtoneChoice& last)>
        askRingtone;
    std::function<bool()> shiftHeld;
    // Shows the menu at the position and returns the chosen action, or null.
    std::function<QAction*(QMenu& menu, QPoint globalPosition)> runMenu;
    std::function<void(QWidget* owner)> showAbout;
    // Asks whether edits that no saved file holds may be thrown away; true lets them go.
    std::function<bool(QWidget* owner)> askDiscardEdits;
    // Asks whether Save compiles edits that are not compiled yet before it writes.
    std::function<CompileBeforeSave(QWidget* owner)> askCompileBeforeSave;
    // Asks for the recording and the rate of a new ringtone; none when cancelled.
    std::function<std::optional<RecordingChoice>(QWidget* owner)> askRecording;

    static ShellHooks Desktop();
};

}  // namespace rolvik
