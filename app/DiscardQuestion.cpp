#include "DiscardQuestion.h"

#include "QuestionBox.h"

namespace rolvik {

bool AskDiscardEdits(QWidget* owner) {
    return AskQuestion(owner,
                       QStringLiteral("The song has changes that are not in a saved file.\n"
                                      "Discard them?"),
                       QMessageBox::Yes | QMessageBox::No, QMessageBox::No,
                       QMessageBox::No) == QMessageBox::Yes;
}

}  // namespace rolvik
