#include "ReportJson.h"

#include <ostream>
#include <string_view>

#include "JsonString.h"

namespace rolvik {
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

std::string LineObject(const ReportLine& line) {
    std::string object = "{\"text\":" + JsonString(line.text) + ",\"style\":\"";
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

}  // namespace rolvik
