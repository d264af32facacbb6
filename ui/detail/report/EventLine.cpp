#include "EventLine.h"

#include <algorithm>
#include <array>
#include <cinttypes>
#include <cstdio>
#include <string_view>

#include "HexByte.h"

namespace rolvik {
namespace {

constexpr std::size_t kShownDataBytes = 256;

constexpr std::array<std::string_view, 12> kNoteNames = {"C-", "C#", "D-", "D#", "E-", "F-",
                                                         "F#", "G-", "G#", "A-", "A#", "B-"};

std::string_view ControllerName(std::uint8_t controller) {
    switch (controller) {
        case 0:
            return "BankSelect MSB";
        case 1:
            return "Modulation";
        case 5:
            return "Potamento time";
        case 7:
            return "Volume";
        case 10:
            return "Panpot";
        case 11:
            return "Expression";
        case 32:
            return "BankSelect LSB";
        case 64:
            return "Hold";
        default:
            return {};
    }
}

std::string Prefix(std::size_t index, const Event& event) {
    char text[64];
    std::snprintf(text, sizeof text, "<%08zu> %08" PRIu32 "ms %02X(%3" PRIu32 "): ", index,
                  event.time, unsigned{event.status}, event.length());
    return text;
}

// Runs on every paint for every event, so without a formatted print per byte.
void AppendDataBytes(std::string& line, const Event& event) {
    const std::size_t shown = std::min(event.data.size(), kShownDataBytes);
    line.reserve(line.size() + shown * 3 + 40);
    for (std::size_t i = 0; i < shown; ++i) {
        AppendHexByte(line, event.data[i]);
        line += ' ';
    }
}

std::string NoteDecode(std::uint8_t key) {
    char text[32];
    std::snprintf(text, sizeof text, "> NoteOn %s%d", kNoteNames[key % 12].data(), key / 12 - 2);
    return text;
}

std::string ControlChangeDecode(std::uint8_t controller, std::uint8_t value) {
    char text[64];
    const std::string_view name = ControllerName(controller);
    if (name.empty()) {
        std::snprintf(text, sizeof text, "> ControlChange %02X 0x%02X(%d)", unsigned{controller},
                      unsigned{value}, int{value});
    } else {
        std::snprintf(text, sizeof text, "> ControlChange %s 0x%02X(%d)", name.data(),
                      unsigned{value}, int{value});
    }
    return text;
}

std::string MetaDecode(std::uint8_t kind) {
    switch (kind) {
        case 0x00:
            return "> NOP";
        case 0x2F:
            return "> EOS";
        default:
            return {};
    }
}

// A decode is shown only when the event holds every data byte the decode reads.
std::string Decode(const Event& event) {
    const std::size_t length = event.data.size();
    if (event.status >= 0x80 && event.status <= 0x9F && length >= 1) {
        return NoteDecode(event.data[0]);
    }
    if (event.status >= 0xB0 && event.status <= 0xBF && length >= 2) {
        return ControlChangeDecode(event.data[0], event.data[1]);
    }
    if (event.status == 0xFF && length >= 1) {
        return MetaDecode(event.data[0]);
    }
    return {};
}

ReportStyle EventStyle(const Event& event) {
    if ((event.status >= 0x80 && event.status <= 0x9F) ||
        (event.status >= 0xB0 && event.status <= 0xCF)) {
        return ReportStyle::Channel;
    }
    if (event.status >= 0xF0 && !event.data.empty() && event.data[0] == 0x00) {
        return ReportStyle::Faint;
    }
    return ReportStyle::Dim;
}

}  // namespace

std::string FormatEventLine(std::size_t index, const Event& event) {
    std::string line = Prefix(index, event);
    AppendDataBytes(line, event);
    line += Decode(event);
    return line;
}

ReportLine MakeEventLine(std::size_t index, const Event& event) {
    const ReportStyle style = EventStyle(event);
    const std::uint8_t channel = style == ReportStyle::Channel ? EventChannel(event) : 0;
    return {FormatEventLine(index, event), style, channel};
}

}  // namespace rolvik
