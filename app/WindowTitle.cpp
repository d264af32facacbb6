#include "WindowTitle.h"

#include <cstdio>

namespace rolvik {
namespace {

std::string Format(const char* format, std::uint32_t value) {
    char text[64];
    std::snprintf(text, sizeof text, format, static_cast<unsigned>(value));
    return text;
}

}  // namespace

std::string WindowTitle(bool documentOpen, PlayState state, std::uint32_t playPositionMs,
                        int deviceInfo) {
    if (!documentOpen) {
        return "Rolvik";
    }
    switch (state) {
        case PlayState::EmuPlay: {
            std::string title = Format("Rolvik EMU:%05ums ", playPositionMs);
            if (deviceInfo & 1) {
                title += "LED ";
            }
            if (deviceInfo & 2) {
                title += "Vib ";
            }
            return title;
        }
        case PlayState::MidiPlay:
            return Format("Rolvik MIDI:%05ums", playPositionMs);
        case PlayState::Idle:
            break;
    }
    return Format("Rolvik %05ums", playPositionMs);
}

}  // namespace rolvik
