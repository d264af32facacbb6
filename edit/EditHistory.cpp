#include "EditHistory.h"

#include <utility>

namespace rolvik {

void EditHistory::Record(EditStep step) {
    undone_.clear();
    done_.push_back(std::move(step));
}

void EditHistory::Undo(Smaf& document, const EventRemovalNotice& removing) {
    if (done_.empty()) {
        return;
    }
    done_.back().Undo(document, removing);
    undone_.push_back(std::move(done_.back()));
    done_.pop_back();
}

void EditHistory::Redo(Smaf& document, const EventRemovalNotice& removing) {
    if (undone_.empty()) {
        return;
    }
    undone_.back().Redo(document, removing);
    done_.push_back(std::move(undone_.back()));
    undone_.pop_back();
}

void EditHistory::Clear() {
    done_.clear();
    undone_.clear();
}

}  // namespace rolvik
