#pragma once

#include <cstdint>
#include <string>

namespace rolvik {

// How a line of the report is coloured when drawn.
enum class ReportStyle { Plain, Channel, Faint, Dim };

struct ReportLine {
    std::string text;  // UTF-8, shown as stored ("%" is an ordinary character)
    ReportStyle style = ReportStyle::Plain;
    std::uint8_t channel = 0;  // 0 to 15, meaningful for the Channel style only
};

}  // namespace rolvik
