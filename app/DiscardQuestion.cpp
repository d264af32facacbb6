#include "DiscardQuestion.h"

#include <QMessageBox>

namespace rolvik {

bool AskDiscardEdits(QWidget* owner) {
    QMessageBox box(owner);
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(QStringLiteral("Rolvik"));
    box.setText(
        QStringLiteral("The song has changes that are not in a saved file.\n"
                       "Discard them?"));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(QMessageBox::Question);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace rolvik
