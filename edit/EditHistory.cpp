#include "EditHistory.h"

#include <utility>

namespace rolvik {
namespace {

using StepAction = void (EditStep::*)(Smaf&, const EventRemovalNotice&);

// Applies the newest step of `from` to the list and makes it the newest of `to`.
void Shift(std::vector<EditStep>& from, std::vector<EditStep>& to, StepAction action,
           Smaf& document, const EventRemovalNotice& removing) {
    if (from.empty()) {
        return;
    }
    (from.back().*action)(document, removing);
    to.push_back(std::move(from.back()));
    from.pop_back();
}

}  // namespace

void EditHistory::Record(EditStep step) {
    undone_.clear();
    done_.push_back(std::move(step));
}

void EditHistory::Undo(Smaf& document, const EventRemovalNotice& removing) {
    Shift(done_, undone_, &EditStep::Undo, document, removing);
}

void EditHistory::Redo(Smaf& document, const EventRemovalNotice& removing) {
    Shift(undone_, done_, &EditStep::Redo, document, removing);
}

void EditHistory::Clear() {
    done_.clear();
    undone_.clear();
}

}  // namespace rolvik
