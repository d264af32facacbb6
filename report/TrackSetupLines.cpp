#include "TrackSetupLines.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "HexByte.h"
#include "core/Chunk.h"
#include "core/ScoreTrack.h"

namespace rolvik {
namespace {

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
    line += OnOff(nibble & kHandyPhoneKeyControl);
    line += " VS=";
    line += OnOff(nibble & kHandyPhoneVibration);
    line += " ChType=";
    line += kChannelTypes[nibble & kChannelTypeBits];
    return line;
}

std::string MobileChannelLine(std::size_t channel, std::uint8_t status) {
    constexpr std::array<std::string_view, 4> kKeyControl = {"None ", "OFF ", "ON ", "RESERVED "};
    constexpr std::array<std::string_view, 4> kChannelTypes = {"Nocare ", "Melody ", "NON Melody ",
                                                               "Rhythm "};
    std::string line = "Channel " + std::to_string(channel) + ": KCS=";
    line += kKeyControl[status >> 6];
    if (status & kVibration) {
        line += "Vib ";
    }
    if (status & kLed) {
        line += "LED ";
    }
    line += kChannelTypes[status & kChannelTypeBits];
    return line;
}

// Four channels, two to a byte, in the two status bytes that follow the timebases.
void AppendHandyPhoneAnalysis(DetailReport& report, Bytes channelStatus) {
    report.AddPlain("Analysing MA-2 deep...");
    int channelNumber = 1;
    for (std::uint8_t status : channelStatus) {
        report.AddPlain(HandyPhoneChannelLine(channelNumber, status >> 4));
        report.AddPlain(HandyPhoneChannelLine(channelNumber + 1, status & 0x0F));
        channelNumber += 2;
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
void AppendMobileAnalysis(DetailReport& report, const ScoreTrackView& track) {
    report.AddPlain("Analysing MA-3,5 deep...");
    for (std::size_t channel = 0; channel < track.channelStatus.size(); ++channel) {
        report.AddPlain(MobileChannelLine(channel, track.channelStatus[channel]));
    }
    if (track.wholeHeader) {
        AppendSubChunkLines(report, track.run);
    }
}

}  // namespace

void AppendTrackSetup(DetailReport& report, const ScoreTrackView& track) {
    using HeaderFieldLine = std::string (*)(std::uint8_t);
    struct HeaderField {
        std::optional<std::uint8_t> value;
        HeaderFieldLine line;
    };
    const std::array<HeaderField, 4> fields = {{
        {track.formatType, FormatTypeLine},
        {track.sequenceType, SequenceTypeLine},
        {track.durationBase,
         [](std::uint8_t code) { return TimebaseLine("TimeBase(Duration): ", code); }},
        {track.gateBase,
         [](std::uint8_t code) { return TimebaseLine("TimeBase(GateTime): ", code); }},
    }};
    report.AddPlain("MTR info");
    for (const HeaderField& field : fields) {
        if (!field.value) {
            return;
        }
        report.AddPlain(field.line(*field.value));
    }
    if (track.formatType == kHandyPhoneStandard) {
        AppendHandyPhoneAnalysis(report, track.channelStatus);
    } else if (track.formatType == kMobileStandardCompressed ||
               track.formatType == kMobileStandard) {
        AppendMobileAnalysis(report, track);
    }
}

}  // namespace rolvik
