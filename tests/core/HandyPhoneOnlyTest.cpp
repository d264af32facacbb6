#include "core/HandyPhoneOnly.h"

#include <gtest/gtest.h>

#include <string_view>

#include "core/FileIO.h"
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

TEST(HandyPhoneOnly, EveryScoreTrackMustBeOfTheOlderFormat) {
    const ByteVector audio = MakeChunk(std::string_view("ATR\0", 4), {0x00, 0x00, 0x11, 0x02});
    EXPECT_TRUE(IsHandyPhoneOnly(MakeFile(Concat({Track(1, 0), Track(3, 0), audio}))));
    EXPECT_FALSE(IsHandyPhoneOnly(MakeFile(Concat({Track(1, 0), Track(5, 2)}))));
    EXPECT_FALSE(IsHandyPhoneOnly(MakeFile(Concat({Track(5, 1), Track(1, 0)}))));
    EXPECT_FALSE(IsHandyPhoneOnly(MakeFile(Track(5, 2))));
    EXPECT_FALSE(IsHandyPhoneOnly(MakeFile(audio))) << "no score track at all";
    EXPECT_TRUE(IsHandyPhoneOnly(MakeFile(Concat({Track(1, 0), Track(2, 7)}))))
        << "a track the loader does not read plays nothing";
}

TEST(HandyPhoneOnly, LooksOnlyAtTheScoreTracksOfTheFileChunk) {
    EXPECT_FALSE(IsHandyPhoneOnly(Bytes{}));
    EXPECT_FALSE(IsHandyPhoneOnly(Concat({Track(1, 0)})));
    // A newer track hidden inside another chunk, or an empty one, is no score track of the file.
    EXPECT_TRUE(IsHandyPhoneOnly(MakeFile(Concat({MakeChunk("CNTI", Track(5, 2)), Track(1, 0)}))));
    EXPECT_TRUE(IsHandyPhoneOnly(MakeFile(Concat({MakeChunk("MTR\x02", {}), Track(1, 0)}))));
    // The bytes behind the stated end of the file chunk are not part of the song.
    ByteVector trailing = MakeFile(Track(1, 0));
    const ByteVector behind = Track(5, 2);
    trailing.insert(trailing.end(), behind.begin(), behind.end());
    EXPECT_TRUE(IsHandyPhoneOnly(trailing));
}

TEST(HandyPhoneOnly, TellsTheCorpusFormatsApart) {
    const auto handyPhone = ReadWholeFile(ROLVIK_CORPUS_DIR "/libsmaf__HappyPoppy.mmf");
    const auto mobile = ReadWholeFile(ROLVIK_CORPUS_DIR "/vavi__B_z_-_Love_phantom.mmf");
    ASSERT_TRUE(handyPhone && mobile);
    EXPECT_TRUE(IsHandyPhoneOnly(*handyPhone));
    EXPECT_FALSE(IsHandyPhoneOnly(*mobile));
}

}  // namespace
}  // namespace rolvik
