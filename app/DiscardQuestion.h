#pragma once

class QWidget;

namespace rolvik {

// Asks, in a modal box owned by the main window, whether edits that no saved file holds may be
// thrown away. True for Yes; No, the default, keeps them.
bool AskDiscardEdits(QWidget* owner);

}  // namespace rolvik
