#include <gtest/gtest.h>

#include "ui/settings/Settings.h"

namespace rolvik {
namespace {

TEST(Settings, DefaultsAreRestoredOverAnyChange) {
    CurrentSettings().drawFunction = 0;
    CurrentSettings().followPlay = FollowPlay::PageFollow;
    CurrentSettings().trackColours[3] = Rgb{1, 2, 3};
    SetDefaultSettings();
    const Settings& settings = CurrentSettings();
    EXPECT_EQ(settings.drawFunction, 2);
    EXPECT_EQ(settings.followPlay, FollowPlay::NoFollow);
    EXPECT_EQ(settings.followSpace, -100);
    EXPECT_EQ(settings.playVisibleOnly, 0);
    EXPECT_EQ(settings.refreshRate, 10);
    EXPECT_EQ(settings.pianoRollHeight, 3);
    EXPECT_EQ(settings.widthDivider, 25);
    EXPECT_EQ(settings.dragPreview, 1);
    EXPECT_EQ(settings.trackColours[3], (Rgb{128, 128, 255}));
}

TEST(Settings, TrackColoursRunFromSilverToGrayInChannelOrder) {
    const auto& table = TrackColourTable();
    EXPECT_EQ(table[0].name, "Silver");
    EXPECT_EQ(table[0].colour, (Rgb{192, 192, 192}));
    EXPECT_EQ(table[7].name, "White");
    EXPECT_EQ(table[8].name, "Black");
    EXPECT_EQ(table[8].colour, (Rgb{0, 0, 0}));
    EXPECT_EQ(table[15].name, "Gray");
    EXPECT_EQ(table[15].colour, (Rgb{128, 128, 128}));
    for (int track = 0; track < kTrackCount; ++track) {
        EXPECT_EQ(Settings{}.trackColours[track], table[track].colour) << track;
    }
}

}  // namespace
}  // namespace rolvik
