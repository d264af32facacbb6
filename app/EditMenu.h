#pragma once

class QAction;
class QMenuBar;

namespace rolvik {

struct EditActions {
    QAction* undo = nullptr;
    QAction* redo = nullptr;
};

// The Edit menu with Undo and Redo, put after the File menu. Both start disabled: there is nothing
// to take back yet.
EditActions AddEditMenu(QMenuBar& menuBar);

}  // namespace rolvik
