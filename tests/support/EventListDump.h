#pragma once

#include <iomanip>
#include <sstream>
#include <string>

#include "core/Smaf.h"

namespace rolvik::testing {

// Every field of every event, and where start and stop point, so that two dumps are equal only
// when the lists are.
inline std::string Dump(const Smaf& document) {
    std::ostringstream out;
    int index = 0;
    for (const Event* event = document.events.get(); event; event = event->next.get(), ++index) {
        out << index << ": " << event->delta << ' ' << event->time << ' ' << std::hex
            << int{event->status};
        for (const std::uint8_t byte : event->data) {
            out << ' ' << std::setw(2) << std::setfill('0') << int{byte};
        }
        out << std::dec << (event == document.start ? " start" : "")
            << (event == document.stop ? " stop" : "") << '\n';
    }
    return out.str();
}

}  // namespace rolvik::testing
