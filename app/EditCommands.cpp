// The main window's Edit menu.

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
}

void MainWindow::UpdateEditActions() {
    actions_.at(CommandId::Undo)->setEnabled(session_.CanUndo());
    actions_.at(CommandId::Redo)->setEnabled(session_.CanRedo());
}

// Takes back the last edit (Undo) or makes again the last one taken back (Redo). A drag under way
// ends first and is the edit taken back; the roll lets go of every note that leaves the list.
void MainWindow::StepHistory(CommandId id) {
    pianoRoll_->FinishDrag();
    const EventRemovalNotice forget = [this](const Event& event) {
        pianoRoll_->ForgetNote(&event);
    };
    if (id == CommandId::Undo) {
        session_.Undo(forget);
    } else {
        session_.Redo(forget);
    }
}

// An edit can move the song's end, and whether the song holds unsaved or uncompiled edits.
void MainWindow::EditsChanged() {
    UpdateEditActions();
    pianoRoll_->UpdateScrollRanges();
    UpdateStatus();
}

}  // namespace rolvik
