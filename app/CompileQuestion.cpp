#include "CompileQuestion.h"

#include <QMessageBox>

namespace rolvik {

CompileBeforeSave AskCompileBeforeSave(QWidget* owner) {
    QMessageBox box(owner);
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(QStringLiteral("Rolvik"));
    box.setText(
        QStringLiteral("The song has edits that are not compiled yet.\n"
                       "Compile them before saving?"));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return CompileBeforeSave::Compile;
        case QMessageBox::No:
            return CompileBeforeSave::SaveAsItIs;
        default:
            return CompileBeforeSave::Cancel;
    }
}

}  // namespace rolvik
