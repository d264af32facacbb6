#include "core/Chunk.h"
#include "tests/support/SmafImage.h"

#include <gtest/gtest.h>

#include <string_view>

namespace rolvik {
namespace {

using testing::Concat;
using testing::MakeChunk;

ByteVector Contents(const std::optional<Chunk>& chunk) {
    return chunk ? ByteVector(chunk->contents.begin(), chunk->contents.end()) : ByteVector{};
}

TEST(FindChunk, EmptyRegionFindsNothing) {
    EXPECT_FALSE(FindChunk(Bytes{}, "MMMD").has_value());
    EXPECT_FALSE(FindChunkPrefix(Bytes{}, "MTR").has_value());
}

TEST(FindChunk, ComparesOnlyChunkHeaders) {
    const ByteVector region =
        Concat({MakeChunk("CNTI", MakeChunk("Mtsq", {1})), MakeChunk("Mtsq", {2, 3})});
    EXPECT_EQ(Contents(FindChunk(region, "Mtsq")), (ByteVector{2, 3}));
    EXPECT_FALSE(FindChunk(MakeChunk("CNTI", MakeChunk("Mtsq", {1})), "Mtsq").has_value());
}

TEST(FindChunk, PrefixMatchesAnyTrackNumber) {
    const ByteVector region = Concat({MakeChunk("OPDA", {}), MakeChunk("MTR\x05", {9})});
    auto track = FindChunkPrefix(region, "MTR");
    EXPECT_EQ(Contents(track), (ByteVector{9}));
    EXPECT_FALSE(FindChunk(region, "MTR").has_value());
}

TEST(FindChunk, StatedSizePastTheRegionIsClampedToIt) {
    ByteVector region = MakeChunk("Mtsq", {1, 2, 3, 4});
    region[7] = 0xFF;  // states 255 bytes where 4 are left
    auto chunk = FindChunk(region, "Mtsq");
    ASSERT_TRUE(chunk.has_value());
    EXPECT_EQ(chunk->statedSize, 255u);
    EXPECT_EQ(Contents(chunk), (ByteVector{1, 2, 3, 4}));
}

TEST(FindChunk, HugeSizesEndTheWalkWithoutWrapping) {
    ByteVector region = Concat({MakeChunk("AAAA", {}), MakeChunk("Mtsq", {7})});
    region[4] = region[5] = region[6] = region[7] = 0xFF;
    EXPECT_FALSE(FindChunk(region, "Mtsq").has_value());
    const ByteVector cutHeader{'M', 't', 's', 'q', 0, 0};
    EXPECT_FALSE(FindChunk(cutHeader, "Mtsq").has_value());
}

TEST(FileNamePart, SkipsSecondBytesOfDoubleByteCharacters) {
    EXPECT_EQ(FileNamePart("C:\\Rolvik\\rolvik.exe"), "rolvik.exe");
    EXPECT_EQ(FileNamePart("/opt/rolvik/rolvik"), "rolvik");
    EXPECT_EQ(FileNamePart("rolvik"), "rolvik");
    // 0x95 0x5C is one Shift-JIS character whose second byte is the backslash code.
    EXPECT_EQ(FileNamePart("dir\\\x95\x5Cname.mmf"), "\x95\x5Cname.mmf");
}

}  // namespace
}  // namespace rolvik
