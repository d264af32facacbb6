#include "Settings.h"

namespace rolvik {

const std::array<TrackColour, kTrackCount>& TrackColourTable() {
    static constexpr std::array<TrackColour, kTrackCount> kTable{{
        {"Silver", {192, 192, 192}},
        {"Red", {255, 128, 128}},
        {"Green", {128, 255, 128}},
        {"Blue", {128, 128, 255}},
        {"Yellow", {255, 255, 128}},
        {"Cyan", {128, 255, 255}},
        {"Purple", {255, 128, 255}},
        {"White", {255, 255, 255}},
        {"Black", {0, 0, 0}},
        {"DarkRed", {128, 0, 0}},
        {"DarkGreen", {0, 128, 0}},
        {"DarkBlue", {0, 0, 128}},
        {"DarkYellow", {128, 128, 0}},
        {"DarkCyan", {0, 128, 128}},
        {"DarkPurple", {128, 0, 128}},
        {"Gray", {128, 128, 128}},
    }};
    return kTable;
}

std::array<Rgb, kTrackCount> Settings::DefaultTrackColours() {
    std::array<Rgb, kTrackCount> colours;
    for (int track = 0; track < kTrackCount; ++track) {
        colours[track] = TrackColourTable()[track].colour;
    }
    return colours;
}

Settings& CurrentSettings() {
    static Settings settings;
    return settings;
}

void SetDefaultSettings() {
    CurrentSettings() = Settings{};
}

}  // namespace rolvik
