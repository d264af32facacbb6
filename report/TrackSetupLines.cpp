#include "TrackSetupLines.h"

#include <array>
#include <string>
#include <string_view>

#include "HexByte.h"
#include "core/ByteReader.h"
#include "core/Chunk.h"
#include "core/ScoreTrack.h"

namespace rolvik {
namespace {

constexpr std::size_t kMobileChannelCount = 16;

std::string FormatTypeLine(std::uint8_t value) {
    switch (value) {
        case 0:
            return "Format Type: HandyPhone Standard (MA-1,2)";
        case 1:
            return "Format Type: Mobile Standard(Compress)";
        case 2:
            return "Format Type: Mobile Standard(No Compress) (MA-3,5)";
        case 3:
            return "Format Type: MA-7";
        default:
            return WithHexByte("Format Type: RESERVED ", value);
    }
}

std::string SequenceTypeLine(std::uint8_t value) {
    switch (value) {
        case 0:
            return "Sequence Type: Stream sequence";
        case 1:
            return "Sequence Type: Sub-sequence";
        default:
            return WithHexByte("Sequence Type: RESERVED ", value);
    }
}

// `title` is "TimeBase(Duration): " or "TimeBase(GateTime): ".
std::string TimebaseLine(std::string_view title, std::uint8_t code) {
    switch (code) {
        case 0x00:
            return std::string(title) + "1 msec";
        case 0x01:
            return std::string(title) + "2 msec";
        case 0x02:
            return std::string(title) + "4 msec";
        case 0x03:
            return std::string(title) + "5 msec";
        case 0x10:
            return std::string(title) + "10 msec";
        case 0x11:
            return std::string(title) + "20 msec";
        case 0x12:
            return std::string(title) + "40 msec";
        case 0x13:
            return std::string(title) + "50 msec";
        default:
            return WithHexByte(std::string(title) + "RESERVED ", code);
    }
}

std::string_view OnOff(std::uint8_t bit) {
    return bit ? "ON" : "OFF";
}

// One HandyPhone channel from four bits of a status byte: KCS, VS, then the two ChType bits.
std::string HandyPhoneChannelLine(int channelNumber, std::uint8_t nibble) {
    constexpr std::array<std::string_view, 4> kChannelTypes = {"NO CARE", "Melody", "No Melody",
                                                               "Rhythm"};
    std::string line = "Channel " + std::to_string(channelNumber) + ": KCS=";
    line += OnOff(nibble & 0x08);
    line += " VS=";
    line += OnOff(nibble & 0x04);
    line += " ChType=";
    line += kChannelTypes[nibble & 0x03];
    return line;
}

std::string MobileChannelLine(std::size_t channel, std::uint8_t status) {
    constexpr std::array<std::string_view, 4> kKeyControl = {"None ", "OFF ", "ON ", "RESERVED "};
    constexpr std::array<std::string_view, 4> kChannelTypes = {"Nocare ", "Melody ", "NON Melody ",
                                                               "Rhythm "};
    std::string line = "Channel " + std::to_string(channel) + ": KCS=";
    line += kKeyControl[status >> 6];
    if (status & 0x20) {
        line += "Vib ";
    }
    if (status & 0x10) {
        line += "LED ";
    }
    line += kChannelTypes[status & 0x03];
    return line;
}

// Four channels, two to a byte, in the two status bytes that follow the timebases.
void AppendHandyPhoneAnalysis(DetailReport& report, ByteReader& cursor) {
    report.AddPlain("Analysing MA-2 deep...");
    for (int channelNumber = 1; channelNumber <= 4; channelNumber += 2) {
        const auto status = cursor.ReadByte();
        if (!status) {
            return;
        }
        report.AddPlain(HandyPhoneChannelLine(channelNumber, *status >> 4));
        report.AddPlain(HandyPhoneChannelLine(channelNumber + 1, *status & 0x0F));
    }
}

void AppendSubChunkLines(DetailReport& report, Bytes subChunkArea) {
    struct SubChunk {
        std::string_view id;
        std::string_view line;
    };
    constexpr std::array<SubChunk, 4> kSubChunks = {{
        {"MspI", "MspI Info found."},
        {"Mtsu", "Mtsu Setup found."},
        {"Mtsq", "Mtsq Sequence found."},
        {"Mtsp", "Mtsp PCM found."},
    }};
    for (const SubChunk& subChunk : kSubChunks) {
        if (FindChunk(subChunkArea, subChunk.id)) {
            report.AddPlain(std::string(subChunk.line));
        }
    }
}

// Sixteen channel status bytes, then the track's sub-chunks behind its 20-byte header.
void AppendMobileAnalysis(DetailReport& report, Bytes trackBody, ByteReader& cursor) {
    report.AddPlain("Analysing MA-3,5 deep...");
    for (std::size_t channel = 0; channel < kMobileChannelCount; ++channel) {
        const auto status = cursor.ReadByte();
        if (!status) {
            return;
        }
        report.AddPlain(MobileChannelLine(channel, *status));
    }
    AppendSubChunkLines(report, trackBody.subspan(kMobileStandardHeaderSize));
}

}  // namespace

void AppendTrackSetup(DetailReport& report, Bytes trackBody) {
    using HeaderFieldLine = std::string (*)(std::uint8_t);
    constexpr std::array<HeaderFieldLine, 4> kHeaderFields = {
        FormatTypeLine,
        SequenceTypeLine,
        [](std::uint8_t code) { return TimebaseLine("TimeBase(Duration): ", code); },
        [](std::uint8_t code) { return TimebaseLine("TimeBase(GateTime): ", code); },
    };
    report.AddPlain("MTR info");
    ByteReader cursor(trackBody);
    for (HeaderFieldLine fieldLine : kHeaderFields) {
        const auto value = cursor.ReadByte();
        if (!value) {
            return;
        }
        report.AddPlain(fieldLine(*value));
    }
    const std::uint8_t formatType = trackBody.front();  // the loop above has read it
    if (formatType == kHandyPhoneStandard) {
        AppendHandyPhoneAnalysis(report, cursor);
    } else if (formatType == kMobileStandardCompressed || formatType == kMobileStandard) {
        AppendMobileAnalysis(report, trackBody, cursor);
    }
}

}  // namespace rolvik
