#include "CompileQuestion.h"

#include "QuestionBox.h"

namespace rolvik {

CompileBeforeSave AskCompileBeforeSave(QWidget* owner) {
    const auto answer = AskQuestion(owner,
                                    QStringLiteral("The song has edits that are not compiled yet.\n"
                                                   "Compile them before saving?"),
                                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                    QMessageBox::Yes, QMessageBox::Cancel);
    switch (answer) {
        case QMessageBox::Yes:
            return CompileBeforeSave::Compile;
        case QMessageBox::No:
            return CompileBeforeSave::SaveAsItIs;
        default:
            return CompileBeforeSave::Cancel;
    }
}

}  // namespace rolvik
