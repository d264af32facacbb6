#include "core/Number.h"

#include <gtest/gtest.h>

#include <vector>

namespace rolvik {
namespace {

ByteVector Encode(std::uint32_t value) {
    ByteVector out;
    WriteNumber(out, value);
    return out;
}

TEST(VariableLengthNumber, EncodesAtEachSizeBoundary) {
    EXPECT_EQ(Encode(0), (ByteVector{0x00}));
    EXPECT_EQ(Encode(0x7F), (ByteVector{0x7F}));
    EXPECT_EQ(Encode(0x80), (ByteVector{0x81, 0x00}));
    EXPECT_EQ(Encode(500), (ByteVector{0x83, 0x74}));
    EXPECT_EQ(Encode(0x4000), (ByteVector{0x81, 0x80, 0x00}));
    EXPECT_EQ(Encode(0x200000), (ByteVector{0x81, 0x80, 0x80, 0x00}));
    EXPECT_EQ(Encode(0x0FFFFFFF), (ByteVector{0xFF, 0xFF, 0xFF, 0x7F}));
}

TEST(VariableLengthNumber, RoundTripsAndSizeMatchesBytesWritten) {
    for (std::uint64_t value = 0; value <= 0x0FFFFFFF; value = value * 3 + 1) {
        const auto v = static_cast<std::uint32_t>(value);
        const ByteVector bytes = Encode(v);
        EXPECT_EQ(bytes.size(), EncodedNumberSize(v));
        EXPECT_EQ(NumberLength(bytes), bytes.size());
        EXPECT_EQ(PeekNumber(bytes), v);
        ByteReader cursor(bytes);
        EXPECT_EQ(ReadNumber(cursor), v);
        EXPECT_TRUE(cursor.empty());
    }
}

TEST(VariableLengthNumber, NumberCutShortIsNotThereAndLeavesCursor) {
    const ByteVector bytes{0x81, 0x80};
    ByteReader cursor(bytes);
    EXPECT_EQ(ReadNumber(cursor), std::nullopt);
    EXPECT_EQ(cursor.offset(), 0u);
    EXPECT_EQ(NumberLength(bytes), 2u);
    ByteReader empty;
    EXPECT_EQ(ReadNumber(empty), std::nullopt);
}

TEST(ShortNumber, DecodesOneAndTwoByteForms) {
    const ByteVector bytes{0x80, 0x00, 0x80, 0x7F, 0xFF, 0x7F, 0x05};
    ByteReader cursor(bytes);
    EXPECT_EQ(ReadShortNumber(cursor), 128u);
    EXPECT_EQ(ReadShortNumber(cursor), 255u);
    EXPECT_EQ(ReadShortNumber(cursor), 16511u);
    EXPECT_EQ(ReadShortNumber(cursor), 5u);
    EXPECT_EQ(ReadShortNumber(cursor), std::nullopt);
    const ByteVector cut{0x85};
    ByteReader cutCursor(cut);
    EXPECT_EQ(ReadShortNumber(cutCursor), std::nullopt);
    EXPECT_EQ(cutCursor.offset(), 0u);
}

}  // namespace
}  // namespace rolvik
