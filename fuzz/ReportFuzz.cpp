// Feeds arbitrary bytes to the loader as a file image and builds the detail report of whatever it
// made of them, loaded or not, with the play position taken from the input too.

#include <cstddef>
#include <cstdint>

#include "LoadedInput.h"
#include "report/DetailReport.h"
#include "report/EventLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rolvik;
    const fuzz::LoadedInput input(data, size);
    const Smaf* smaf = input.smaf.get();
    const std::uint32_t playPositionMs = size >= 4 ? (std::uint32_t{data[0]} << 24) |
                                                         (std::uint32_t{data[1]} << 16) |
                                                         (std::uint32_t{data[2]} << 8) | data[3]
                                                   : 0;
    // A line holds at most 1023 bytes, and the marker sits on a line of the report.
    constexpr std::size_t kMaxLineBytes = 1023;
    const DetailReport report = BuildDetailReport(smaf, playPositionMs);
    for (const ReportLine& line : report.lines) {
        if (line.text.size() > kMaxLineBytes) {
            __builtin_trap();
        }
    }
    if (report.markerLine && *report.markerLine >= report.lines.size()) {
        __builtin_trap();
    }
    std::size_t index = 0;
    for (const Event* event = smaf->events.get(); event; event = event->next.get()) {
        if (FormatEventLine(index++, *event).size() > kMaxLineBytes) {
            __builtin_trap();
        }
    }
    return 0;
}
