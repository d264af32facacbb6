#include "EditStep.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace rolvik {

EditStep::Touched* EditStep::Find(const Event& event) {
    const auto found =
        std::find_if(touched_.begin(), touched_.end(),
                     [&event](const Touched& entry) { return entry.event == &event; });
    return found == touched_.end() ? nullptr : &*found;
}

std::optional<std::uint32_t> EditStep::TimeBefore(const Event& event) const {
    const auto found =
        std::find_if(touched_.begin(), touched_.end(),
                     [&event](const Touched& entry) { return entry.event == &event; });
    if (found == touched_.end() || !found->before) {
        return std::nullopt;
    }
    return found->before->timeMs;
}

void EditStep::Touch(const Smaf& document, Event& event) {
    if (Find(event)) {
        return;
    }
    if (touched_.empty()) {
        for (const Event* walk = document.events.get(); walk; walk = walk->next.get()) {
            orderBefore_.push_back(walk);
        }
        endsBefore_ = {document.start, document.stop};
    }
    Touched entry;
    entry.event = &event;
    const auto found = std::find(orderBefore_.begin(), orderBefore_.end(), &event);
    if (found != orderBefore_.end()) {
        const auto index = static_cast<std::size_t>(std::distance(orderBefore_.begin(), found));
        entry.before = Placement{index, event.time, event.data};
    }
    touched_.push_back(std::move(entry));
}

Event* EditStep::Insert(Smaf& document, std::unique_ptr<Event> event) {
    Touch(document, *event);
    return InsertEvent(document, std::move(event));
}

void EditStep::Delete(Smaf& document, Event& event, const EventRemovalNotice& removing) {
    Touch(document, event);
    removing(event);
    Find(event)->detached = RemoveEvent(document, &event);
}

void EditStep::Move(Smaf& document, Event& event, std::uint32_t timeMs,
                    const EventRemovalNotice& removing) {
    Touch(document, event);
    removing(event);
    std::unique_ptr<Event> removed = RemoveEvent(document, &event);
    if (!removed) {
        return;
    }
    removed->time = timeMs;
    InsertEvent(document, std::move(removed));
}

bool EditStep::Finish(const Smaf& document) {
    bool changed = false;
    for (Touched& entry : touched_) {
        if (const std::optional<std::size_t> index = IndexOfEvent(document, entry.event)) {
            entry.after = Placement{*index, entry.event->time, entry.event->data};
        }
        changed = changed || entry.after != entry.before;
    }
    endsAfter_ = {document.start, document.stop};
    orderBefore_.clear();
    orderBefore_.shrink_to_fit();
    return changed || endsAfter_ != endsBefore_;
}

void EditStep::Undo(Smaf& document, const EventRemovalNotice& removing) {
    Apply(document, &Touched::before, endsBefore_, removing);
}

void EditStep::Redo(Smaf& document, const EventRemovalNotice& removing) {
    Apply(document, &Touched::after, endsAfter_, removing);
}

// Takes every touched event out, gives each the time and data of the wanted side, and puts them
// back in ascending order of their positions there: each then lands behind exactly the events
// that preceded it on that side.
void EditStep::Apply(Smaf& document, Side side, Ends ends, const EventRemovalNotice& removing) {
    for (Touched& entry : touched_) {
        if (!entry.detached) {
            removing(*entry.event);
            entry.detached = RemoveEvent(document, entry.event);
        }
    }
    std::vector<Touched*> placed;
    for (Touched& entry : touched_) {
        if (const std::optional<Placement>& placement = entry.*side) {
            entry.detached->time = placement->timeMs;
            entry.detached->data = placement->data;
            placed.push_back(&entry);
        }
    }
    std::sort(placed.begin(), placed.end(), [side](const Touched* left, const Touched* right) {
        return (left->*side)->index < (right->*side)->index;
    });
    for (Touched* entry : placed) {
        InsertEventAt(document, (entry->*side)->index, std::move(entry->detached));
    }
    document.start = ends.start;
    document.stop = ends.stop;
}

}  // namespace rolvik
