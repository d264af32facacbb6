#pragma once

#include <QMessageBox>
#include <QString>

namespace rolvik {

// Runs a modal yes/no question owned by the main window, with the window's own caption, and answers
// the button chosen; Escape chooses `escape`.
QMessageBox::StandardButton AskQuestion(QWidget* owner, const QString& text,
                                        QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton preferred,
                                        QMessageBox::StandardButton escape);

}  // namespace rolvik
