#pragma once

#include <memory>

#include "Event.h"
#include "Smaf.h"

namespace rolvik {

// Events on their way into a document's list, kept in the order they were read. Inserting them one
// by one costs a walk of the list whenever a time goes back (a second track starting again at 0, a
// sum of durations that wraps at 32 bits), which makes a crafted file quadratic. The batch instead
// sorts them all at once, keeping the order of events of equal time, and merges them in behind the
// list's own events of equal time: the list InsertEvent would have built, in O(n log n) at worst
// and in one pass when the events come in time order.
class EventBatch {
  public:
    explicit EventBatch(Smaf& document);
    EventBatch(const EventBatch&) = delete;
    EventBatch& operator=(const EventBatch&) = delete;
    // Commits what has not been committed, so that no event read is lost on an early return.
    ~EventBatch();

    Smaf& document() { return document_; }

    // Takes the event; an event earlier than every event so far becomes the document's `start`, as
    // with InsertEvent. The event's delta is set when it is committed.
    Event* Add(std::unique_ptr<Event> event);

    // The event that will head the list: the first of the earliest events, in the list or added.
    Event* Head() const { return head_; }

    // Links every added event into the document's list and sets all deltas.
    void Commit();

  private:
    Smaf& document_;
    std::unique_ptr<Event> added_;
    std::unique_ptr<Event>* tail_ = &added_;
    Event* head_ = nullptr;
};

}  // namespace rolvik
