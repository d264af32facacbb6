#include "EventListSection.h"

namespace rolvik {

void AppendEventListSection(DetailReport& report, const Smaf& document,
                            std::uint32_t playPositionMs) {
    report.AddPlain("Internal EventList Info=====");
    report.AddPlain(
        "SYNOPSIS: <Line No.> Duration Status(Data-Length): data... (> meaning: only "
        "CC/PC/Note/NOP/EOS.)");
    report.AddPlain("-----");
    std::size_t count = 0;
    for (const Event* event = document.events.get(); event; event = event->next.get()) {
        if (!report.markerLine && event->time >= playPositionMs) {
            report.markerLine = report.lines.size() + count;
        }
        ++count;
    }
    report.lines.AppendEvents(document.events.get(), count);
}

}  // namespace rolvik
