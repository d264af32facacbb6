#include "ShellHooks.h"

#include <QFileDialog>
#include <QGuiApplication>

#include "DiscardQuestion.h"
#include "ExportTypes.h"
#include "RingtoneDialog.h"
#include "UserSettings.h"
#include "ui/detail/AboutBox.h"

namespace rolvik {

ShellHooks ShellHooks::Desktop() {
    ShellHooks hooks;
    hooks.askOpenPath = [](QWidget* owner) {
        return QFileDialog::getOpenFileName(owner, QStringLiteral("Open SMAF"), LastFolder(),
                                            QStringLiteral("SMAF file(*.mmf);;"
                                                           "SMAF(Motion?) file(*.mqf);;"
                                                           "Standard MIDI file (*.mid *.midi);;"
                                                           "All files (*)"));
    };
    hooks.askSavePath = [](QWidget* owner, const QString& suggestedName) {
        QFileDialog dialog(
            owner, QStringLiteral("Compile and Save SMAF: Don't forget compile before save!"),
            LastFolder(), QStringLiteral("SMAF file(*.mmf);;All files (*)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // The dialog adds ".mmf" itself, so that it asks before replacing the file that will
        // really be written, not one of the name as typed.
        dialog.setDefaultSuffix(QStringLiteral("mmf"));
        if (!suggestedName.isEmpty()) {
            dialog.selectFile(suggestedName);
        }
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    hooks.askExportPath = [](QWidget* owner, QString& chosenFilter) {
        return QFileDialog::getSaveFileName(owner, QStringLiteral("Export"), LastFolder(),
                                            ExportFilters(), &chosenFilter);
    };
    hooks.askRingtone = [](QWidget* owner, const RingtoneChoice& last) {
        return AskRingtone(owner, last);
    };
    hooks.shiftHeld = [] {
        return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
    };
    hooks.runMenu = [](QMenu& menu, QPoint globalPosition) { return menu.exec(globalPosition); };
    hooks.showAbout = [](QWidget* owner) { RunAboutBox(owner); };
    hooks.askDiscardEdits = [](QWidget* owner) { return AskDiscardEdits(owner); };
    hooks.askCompileBeforeSave = [](QWidget* owner) { return AskCompileBeforeSave(owner); };
    hooks.askRecording = [](QWidget* owner) { return AskRecording(owner); };
    return hooks;
}

}  // namespace rolvik
