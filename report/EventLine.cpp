#include "EventLine.h"

#include <algorithm>
#include <array>
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

// Appends `value` in decimal, padded on the left with `pad` to at least `width` characters. The
// event lines are made for every event a command prints, so without a formatted print.
void AppendDecimal(std::string& text, std::uint64_t value, std::size_t width, char pad) {
    char digits[20];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    if (count < width) {
        text.append(width - count, pad);
    }
    while (count > 0) {
        text += digits[--count];
    }
}

// "<%08d> %08dms %02X(%3d): "
void AppendPrefix(std::string& line, std::size_t index, const Event& event) {
    line += '<';
    AppendDecimal(line, index, 8, '0');
    line += "> ";
    AppendDecimal(line, event.time, 8, '0');
    line += "ms ";
    AppendHexByte(line, event.status);
    line += '(';
    AppendDecimal(line, event.length(), 3, ' ');
    line += "): ";
}

void AppendDataBytes(std::string& line, const Event& event) {
    const std::size_t shown = std::min(event.data.size(), kShownDataBytes);
    for (std::size_t i = 0; i < shown; ++i) {
        AppendHexByte(line, event.data[i]);
        line += ' ';
    }
}

// "> NoteOn %s%d" with the name of the key and its octave, -2 to 8.
std::string NoteDecode(std::uint8_t key) {
    std::string text = "> NoteOn ";
    text += kNoteNames[key % 12];
    const int octave = key / 12 - 2;
    if (octave < 0) {
        text += '-';
    }
    AppendDecimal(text, static_cast<std::uint64_t>(octave < 0 ? -octave : octave), 1, ' ');
    return text;
}

// "> ControlChange %s 0x%02X(%d)" with the controller's name, or its number in hexadecimal.
std::string ControlChangeDecode(std::uint8_t controller, std::uint8_t value) {
    std::string text = "> ControlChange ";
    const std::string_view name = ControllerName(controller);
    if (name.empty()) {
        AppendHexByte(text, controller);
    } else {
        text += name;
    }
    text += " 0x";
    AppendHexByte(text, value);
    text += '(';
    AppendDecimal(text, value, 1, ' ');
    text += ')';
    return text;
}

std::string MetaDecode(std::uint8_t kind) {
    switch (kind) {
        case kNoOperation:
            return "> NOP";
        case kEndOfSequence:
            return "> EOS";
        default:
            return {};
    }
}

// A decode is shown only when the event holds every data byte the decode reads.
std::string Decode(const Event& event) {
    const std::size_t length = event.data.size();
    if (IsNoteEvent(event) && length >= 1) {
        return NoteDecode(event.data[0]);
    }
    if (StatusKind(event.status) == kControlChange && length >= 2) {
        return ControlChangeDecode(event.data[0], event.data[1]);
    }
    if (event.status == kSequenceEvent && length >= 1) {
        return MetaDecode(event.data[0]);
    }
    return {};
}

ReportStyle EventStyle(const Event& event) {
    const std::uint8_t kind = StatusKind(event.status);
    if (IsNoteEvent(event) || kind == kControlChange || kind == kProgramChange) {
        return ReportStyle::Channel;
    }
    if (event.status >= kExclusive && !event.data.empty() && event.data[0] == kNoOperation) {
        return ReportStyle::Faint;
    }
    return ReportStyle::Dim;
}

}  // namespace

std::string FormatEventLine(std::size_t index, const Event& event) {
    std::string line;
    line.reserve(48 + std::min(event.data.size(), kShownDataBytes) * 3);
    AppendPrefix(line, index, event);
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
