#include "ReportLines.h"

#include "EventLine.h"

namespace rolvik {

ReportLine ReportLines::operator[](std::size_t index) const {
    if (index < eventsAt_) {
        return held_[index];
    }
    if (index - eventsAt_ < eventCount_) {
        const std::size_t eventIndex = index - eventsAt_;
        return MakeEventLine(eventIndex, EventAt(eventIndex));
    }
    return held_[index - eventCount_];
}

void ReportLines::AppendEvents(const Event* head, std::size_t count) {
    eventsAt_ = held_.size();
    firstEvent_ = head;
    eventCount_ = count;
    cursorEvent_ = head;
    cursorIndex_ = 0;
}

const Event& ReportLines::EventAt(std::size_t index) const {
    if (index < cursorIndex_) {
        cursorEvent_ = firstEvent_;
        cursorIndex_ = 0;
    }
    for (; cursorIndex_ < index; ++cursorIndex_) {
        cursorEvent_ = cursorEvent_->next.get();
    }
    return *cursorEvent_;
}

}  // namespace rolvik
