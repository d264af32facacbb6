#pragma once

#include <QMessageBox>

class QWidget;

namespace rolvik {

// The question asked before a command replaces a document whose edits no saved file holds: a modal
// box owned by the main window, answered Yes (throw them away) or No (keep them), No by default.
void ConfigureDiscardQuestion(QMessageBox& box);

// True when the user lets the edits go.
bool AskDiscardEdits(QWidget* owner);

}  // namespace rolvik
