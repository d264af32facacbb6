#pragma once

#include <cstddef>
#include <iterator>
#include <vector>

#include "ReportLine.h"
#include "core/Event.h"

namespace rolvik {

// The lines of a report, read like a vector of lines. The summary lines are held; the event lines
// are made from the document's list only when they are read, so that a report on a million events
// holds no million strings and a paint formats only the lines it shows. Reading the lines in order
// walks the list once; a jump back starts again from the head of the list.
class ReportLines {
  public:
    class Iterator {
      public:
        using iterator_category = std::input_iterator_tag;
        using value_type = ReportLine;
        using difference_type = std::ptrdiff_t;

        Iterator(const ReportLines& lines, std::size_t index) : lines_(&lines), index_(index) {}
        ReportLine operator*() const { return (*lines_)[index_]; }
        Iterator& operator++() {
            ++index_;
            return *this;
        }
        bool operator==(const Iterator& other) const { return index_ == other.index_; }

      private:
        const ReportLines* lines_;
        std::size_t index_;
    };

    std::size_t size() const { return held_.size() + eventCount_; }
    bool empty() const { return size() == 0; }
    ReportLine operator[](std::size_t index) const;
    ReportLine back() const { return (*this)[size() - 1]; }
    Iterator begin() const { return Iterator(*this, 0); }
    Iterator end() const { return Iterator(*this, size()); }

    void push_back(ReportLine line) { held_.push_back(std::move(line)); }

    // Places one line for each of `count` events, from `head` on along the list, behind the lines
    // so far. The list must stay as it is while the lines are read. Once only.
    void AppendEvents(const Event* head, std::size_t count);

  private:
    const Event& EventAt(std::size_t index) const;

    std::vector<ReportLine> held_;
    std::size_t eventsAt_ = 0;  // the line index of the first event line
    const Event* firstEvent_ = nullptr;
    std::size_t eventCount_ = 0;
    // The event read last, so that reading in order steps one event a line.
    mutable const Event* cursorEvent_ = nullptr;
    mutable std::size_t cursorIndex_ = 0;
};

}  // namespace rolvik
