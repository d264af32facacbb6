#include "ReportJson.h"

#include <cstdio>
#include <ostream>
#include <string_view>

namespace rolvik::cli {
namespace {

std::string_view StyleName(ReportStyle style) {
    switch (style) {
        case ReportStyle::Plain:
            return "Plain";
        case ReportStyle::Channel:
            return "Channel";
        case ReportStyle::Faint:
            return "Faint";
        case ReportStyle::Dim:
            return "Dim";
    }
    return "Plain";
}

// A JSON string literal of UTF-8 text.
std::string Quoted(std::string_view text) {
    std::string quoted = "\"";
    for (const char character : text) {
        const auto byte = static_cast<unsigned char>(character);
        if (character == '"' || character == '\\') {
            quoted += '\\';
            quoted += character;
        } else if (byte < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", unsigned{byte});
            quoted += escape;
        } else {
            quoted += character;
        }
    }
    quoted += '"';
    return quoted;
}

std::string LineObject(const ReportLine& line) {
    std::string object = "{\"text\":" + Quoted(line.text) + ",\"style\":\"";
    object += StyleName(line.style);
    object += "\",\"channel\":";
    object += line.style == ReportStyle::Channel ? std::to_string(line.channel) : "null";
    object += '}';
    return object;
}

}  // namespace

void WriteReportAsJson(std::ostream& out, const DetailReport& report) {
    out << "{\"hasDocument\":" << (report.hasDocument ? "true" : "false");
    out << ",\"markerLine\":";
    out << (report.markerLine ? std::to_string(*report.markerLine) : "null");
    out << ",\"lines\":[";
    std::size_t index = 0;
    for (const ReportLine& line : report.lines) {
        out << (index++ == 0 ? "\n" : ",\n") << LineObject(line);
    }
    out << "\n]}\n";
}

}  // namespace rolvik::cli
