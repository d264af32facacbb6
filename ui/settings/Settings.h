#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace rolvik {

// A colour as red, green and blue, free of any toolkit so that every module can hold one.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

enum class FollowPlay { NoFollow = 0, AlwaysFollow = 1, FollowOnShift = 2, PageFollow = 3 };

inline constexpr int kTrackCount = 16;

// One colour per track (channel 0 is the first entry), with the name the track menu shows.
struct TrackColour {
    std::string_view name;
    Rgb colour;
};

// The process-wide settings. They start from these defaults on every run, change only from the
// keyboard and are never stored.
struct Settings {
    int drawFunction = 2;  // 0 paint directly, 1 through an RGB image, 2 through a screen pixmap
    FollowPlay followPlay = FollowPlay::NoFollow;
    int followSpace = -100;  // pixels added to the view position when the view follows the play
    int playVisibleOnly = 0;
    int refreshRate = 10;     // ms between playback timer ticks
    int pianoRollHeight = 3;  // pixels per key row
    int widthDivider = 25;    // ms per pixel
    int dragPreview = 1;
    std::array<Rgb, kTrackCount> trackColours = DefaultTrackColours();

    static std::array<Rgb, kTrackCount> DefaultTrackColours();
};

// The names and default colours of the 16 tracks, in channel order.
const std::array<TrackColour, kTrackCount>& TrackColourTable();

// The settings every part of the program reads.
Settings& CurrentSettings();

// Gives every setting and every track colour its default value.
void SetDefaultSettings();

}  // namespace rolvik
