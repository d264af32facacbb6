// The main window's Edit menu, and the question asked before edits that no saved file holds are
// thrown away.

#include "EditMenu.h"
#include "MainWindow.h"
#include "ui/pianoroll/PianoRoll.h"

namespace rolvik {

void MainWindow::BuildEditMenu() {
    const EditActions edit = AddEditMenu(*menuBar());
    for (const auto& [id, item] :
         {std::pair{CommandId::Undo, edit.undo}, std::pair{CommandId::Redo, edit.redo}}) {
        addAction(item);
        connect(item, &QAction::triggered, this, [this, id = id] { RunCommand(id); });
        actions_[id] = item;
    }
    connect(pianoRoll_, &PianoRoll::EditsChanged, this, &MainWindow::UpdateEditActions);
}

void MainWindow::UpdateEditActions() {
    actions_.at(CommandId::Undo)->setEnabled(pianoRoll_->edits().CanUndo());
    actions_.at(CommandId::Redo)->setEnabled(pianoRoll_->edits().CanRedo());
}

// The history begins at every open and compile, so a step still done is an edit that only the
// list holds. A compile puts the edits in the file image, which is only in memory until it is
// saved. Save writes the image, not the list, so edits made after the last compile stay unsaved
// through a save.
bool MainWindow::HasUnsavedEdits() const {
    return smaf_ && (compiledUnsaved_ || pianoRoll_->edits().CanUndo());
}

// A drag under way when a command comes from the keyboard counts as an edit made.
bool MainWindow::MayDiscardEdits() {
    pianoRoll_->FinishDrag();
    return !HasUnsavedEdits() || hooks_.askDiscardEdits(this);
}

void MainWindow::CloseCommand() {
    if (MayDiscardEdits()) {
        CloseDocument();
    }
}

}  // namespace rolvik
