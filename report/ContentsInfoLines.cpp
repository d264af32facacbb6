#include "ContentsInfoLines.h"

#include <array>
#include <string>

#include "HexByte.h"
#include "TagLabel.h"
#include "core/ByteReader.h"
#include "core/Chunk.h"
#include "core/ContentsText.h"

namespace rolvik {
namespace {

std::string ContentsClassLine(std::uint8_t value) {
    return value == 0 ? "Contents class: YAMAHA"
                      : WithHexByte("Contents class: Not yamaha ", value);
}

std::string ContentsTypeLine(std::uint8_t value) {
    if (value <= 0x0F || (value >= 0x30 && value <= 0x33)) {
        return WithHexByte("Contents type: Ringtone ", value);
    }
    if ((value >= 0x10 && value <= 0x1F) || (value >= 0x40 && value <= 0x42)) {
        return WithHexByte("Contents type: Karaoke ", value);
    }
    if ((value >= 0x20 && value <= 0x2F) || (value >= 0x50 && value <= 0x53)) {
        return WithHexByte("Contents type: CM ", value);
    }
    return WithHexByte("Contents type: RESERVED ", value);
}

std::string ContentsCodeLine(std::uint8_t value) {
    switch (value) {
        case 0x00:
            return "Contents code: Shift-JIS";
        case 0x01:
            return "Contents code: Latin-1";
        case 0x02:
            return "Contents code: EUC-KR";
        case 0x03:
            return "Contents code: GB-2312";
        case 0x04:
            return "Contents code: Big5";
        case 0x05:
            return "Contents code: KOI8-R";
        case 0x06:
            return "Contents code: TCVN-5773:1993";
        case 0x20:
            return "Contents code: UCS-2";
        case 0x21:
            return "Contents code: UCS-4";
        case 0x22:
            return "Contents code: UTF-7";
        case 0x23:
            return "Contents code: UTF-8";
        case 0x24:
            return "Contents code: UTF-16";
        case 0x25:
            return "Contents code: UTF-32";
        default:
            return WithHexByte("Contents code: RESERVED ", value);
    }
}

void AppendCopyStatus(DetailReport& report, std::uint8_t value) {
    report.AddPlain(value & 0x04 ? "CopyStatus: Edit NG" : "CopyStatus: Edit OK");
    report.AddPlain(value & 0x02 ? "CopyStatus: Save NG" : "CopyStatus: Save OK");
    report.AddPlain(value & 0x01 ? "CopyStatus: Trans NG" : "CopyStatus: Trans OK");
}

void AppendItems(DetailReport& report, const std::vector<TextItem>& items, TagSource source) {
    for (const TextItem& item : items) {
        report.AddPlain(TagLabel(item.tag, source) + ": " + item.value);
    }
}

// One entry per fixed byte of the body, in order: what the byte at that position shows.
using FieldLines = void (*)(DetailReport&, std::uint8_t);
constexpr std::array<FieldLines, 5> kFixedFields = {
    [](DetailReport& report, std::uint8_t value) { report.AddPlain(ContentsClassLine(value)); },
    [](DetailReport& report, std::uint8_t value) { report.AddPlain(ContentsTypeLine(value)); },
    [](DetailReport& report, std::uint8_t value) { report.AddPlain(ContentsCodeLine(value)); },
    AppendCopyStatus,
    [](DetailReport& report, std::uint8_t value) {
        report.AddPlain("Copy Count: " + std::to_string(value));
    },
};

// The fixed fields, as far as the body holds them.
void AppendFixedFields(DetailReport& report, Bytes body) {
    ByteReader cursor(body);
    for (FieldLines fieldLines : kFixedFields) {
        const auto value = cursor.ReadByte();
        if (!value) {
            return;
        }
        fieldLines(report, *value);
    }
}

}  // namespace

void AppendContentsInfo(DetailReport& report, Bytes contentsInfoBody) {
    report.AddPlain("CNTI info");
    AppendFixedFields(report, contentsInfoBody);
    if (contentsInfoBody.size() > kFixedFields.size()) {
        report.AddPlain("Optional data followed.");
        AppendItems(report, ReadOptionalTextItems(contentsInfoBody), TagSource::ContentsInfo);
    }
}

void AppendOptionalData(DetailReport& report, Bytes optionalDataBody) {
    report.AddPlain("OPDA found.");
    const auto items = ReadDchItemsIn(optionalDataBody);
    if (!items) {
        return;
    }
    report.AddPlain("Dch found.");
    AppendItems(report, *items, TagSource::Dch);
}

}  // namespace rolvik
