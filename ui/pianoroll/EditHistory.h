#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "EditStep.h"

namespace rolvik {

// The steps that can be taken back and made again, newest last. It also knows whether the list is
// as it was when the history began (after an open or a compile), which is what tells whether the
// list holds edits that its file image does not.
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
    bool Unedited() const { return uneditedDepth_ == done_.size(); }

  private:
    std::vector<EditStep> done_;
    std::vector<EditStep> undone_;
    // How many steps were done when the list was unedited; none once that state cannot come back.
    std::optional<std::size_t> uneditedDepth_ = 0;
};

}  // namespace rolvik
