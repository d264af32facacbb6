#include "EventBatch.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace rolvik {
namespace {

using Chain = std::unique_ptr<Event>;

// Merges two chains in time order; at equal times the events of `earlier` come first.
Chain Merge(Chain earlier, Chain later) {
    Chain merged;
    Chain* tail = &merged;
    while (earlier && later) {
        Chain& from = later->time < earlier->time ? later : earlier;
        *tail = std::move(from);
        from = std::move((*tail)->next);
        tail = &(*tail)->next;
    }
    *tail = earlier ? std::move(earlier) : std::move(later);
    return merged;
}

// Cuts the leading run of events in time order off the chain and returns it.
Chain CutRun(Chain& chain) {
    Chain run = std::move(chain);
    Event* last = run.get();
    while (last->next && last->next->time >= last->time) {
        last = last->next.get();
    }
    chain = std::move(last->next);
    return run;
}

// A stable merge sort of a chain that uses its runs already in order, so that a chain in time
// order costs one pass. `merged[i]` holds the merge of 2^i runs; lower slots hold later events.
Chain SortByTime(Chain chain) {
    std::vector<Chain> merged;
    while (chain) {
        Chain run = CutRun(chain);
        std::size_t slot = 0;
        for (; slot < merged.size() && merged[slot]; ++slot) {
            run = Merge(std::move(merged[slot]), std::move(run));
        }
        if (slot == merged.size()) {
            merged.emplace_back();
        }
        merged[slot] = std::move(run);
    }
    Chain sorted;
    for (Chain& slot : merged) {
        sorted = Merge(std::move(slot), std::move(sorted));
    }
    return sorted;
}

void SetDeltas(Event* head) {
    std::uint32_t previousTime = 0;
    for (Event* event = head; event; event = event->next.get()) {
        event->delta = static_cast<std::int32_t>(event->time - previousTime);
        previousTime = event->time;
    }
}

}  // namespace

EventBatch::EventBatch(Smaf& document) : document_(document), head_(document.events.get()) {}

EventBatch::~EventBatch() {
    Commit();
}

Event* EventBatch::Add(std::unique_ptr<Event> event) {
    Event* added = event.get();
    if (!head_ || added->time < head_->time) {
        head_ = added;
        document_.start = added;
    }
    *tail_ = std::move(event);
    tail_ = &added->next;
    return added;
}

void EventBatch::Commit() {
    if (!added_) {
        return;
    }
    document_.events = Merge(std::move(document_.events), SortByTime(std::move(added_)));
    tail_ = &added_;
    document_.lastInserted = nullptr;
    SetDeltas(document_.events.get());
}

}  // namespace rolvik
