#include "core/HandyPhoneOnly.h"

#include <gtest/gtest.h>

#include <string_view>

#include "tests/support/SmafImage.h"

namespace rolvik {
namespace {

using testing::Concat;
using testing::MakeChunk;
using testing::MakeFile;
using testing::MakeTrack;

ByteVector Track(std::uint8_t number, std::uint8_t format) {
    return MakeTrack(number, format, 0x02, 0x02, MakeChunk("Mtsq", {0x00, 0x00, 0x00, 0x00}));
}

TEST(HandyPhoneOnly, EveryScoreTrackOfTheFileChunkMustBeOfTheOlderFormat) {
    const ByteVector audio = MakeChunk(std::string_view("ATR\0", 4), {0x00, 0x00, 0x11, 0x02});
    EXPECT_TRUE(IsHandyPhoneOnly(MakeFile(Concat({Track(1, 0), Track(3, 0), audio}))));
    EXPECT_FALSE(IsHandyPhoneOnly(MakeFile(Concat({Track(1, 0), Track(5, 2)}))));
    EXPECT_FALSE(IsHandyPhoneOnly(MakeFile(Concat({Track(5, 1), Track(1, 0)}))));
    EXPECT_FALSE(IsHandyPhoneOnly(MakeFile(audio))) << "no score track at all";
    EXPECT_FALSE(IsHandyPhoneOnly(Track(1, 0))) << "no SMAF file";
    // Tracks that play nothing, or chunks that are no score track of the file, do not count.
    EXPECT_TRUE(IsHandyPhoneOnly(MakeFile(Concat({Track(1, 0), Track(2, 7)}))));
    EXPECT_TRUE(IsHandyPhoneOnly(MakeFile(Concat({MakeChunk("CNTI", Track(5, 2)), Track(1, 0)}))));
    ByteVector trailing = MakeFile(Track(1, 0));
    const ByteVector behind = Track(5, 2);
    trailing.insert(trailing.end(), behind.begin(), behind.end());
    EXPECT_TRUE(IsHandyPhoneOnly(trailing));
}

}  // namespace
}  // namespace rolvik
