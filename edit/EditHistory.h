#pragma once

#include <vector>

#include "EditStep.h"

namespace rolvik {

// The steps that can be taken back and made again, newest last. It begins where the list is what
// the file image holds (an open, a compile), so with no step done the list holds no edit.
class EditHistory {
  public:
    // A new step; the steps taken back so far can no longer be made again.
    void Record(EditStep step);

    bool CanUndo() const { return !done_.empty(); }
    bool CanRedo() const { return !undone_.empty(); }
    void Undo(Smaf& document, const EventRemovalNotice& removing);
    void Redo(Smaf& document, const EventRemovalNotice& removing);

    // Forgets every step; the list as it is now becomes the unedited one.
    void Clear();

  private:
    std::vector<EditStep> done_;
    std::vector<EditStep> undone_;
};

}  // namespace rolvik
