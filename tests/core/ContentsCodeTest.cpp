#include "core/ContentsCode.h"

#include <gtest/gtest.h>

#include <string>

namespace rolvik {
namespace {

struct Decoding {
    std::uint8_t code;
    std::string text;
    std::string utf8;
};

TEST(ContentsCodeTest, DecodesByTheDeclaredCode) {
    const Decoding decodings[] = {
        {0x00, "abc", "abc"},
        {0x00, "\x82\xA0\x83\x41", "\xE3\x81\x82\xE3\x82\xA2"},  // hiragana a, katakana a
        {0x00, "\xB1", "\xEF\xBD\xB1"},                          // half-width katakana a
        {0x02, "\xC7\xD1\xB1\xDB", "\xED\x95\x9C\xEA\xB8\x80"},  // hangul han, geul
        {0x02, "\x8C\x63", "\xEB\x98\xA0"},  // a syllable outside EUC-KR that Korean phones wrote
        {0x01, "caf\xE9", "caf\xC3\xA9"},
        {0x05, "\xC1", "\xD0\xB0"},  // Cyrillic a
        {0x23, "caf\xC3\xA9", "caf\xC3\xA9"},
        {0x20, std::string("\x00\x41\xD5\x5C", 4), "A\xED\x95\x9C"},
        // Wide codes are big-endian unless a byte order mark says otherwise; the mark is not text.
        {0x20, std::string("\xFF\xFE\x41\x00", 4), "A"},
        {0x24, std::string("\xFF\xFE\x41\x00\x5C\xD5", 6), "A\xED\x95\x9C"},
        {0x24, std::string("\xFE\xFF\x00\x41", 4), "A"},
        {0x24, std::string("\x00\x41", 2), "A"},
        {0x21, std::string("\x00\x00\x00\x41", 4), "A"},
        {0x25, std::string("\xFF\xFE\x00\x00\x41\x00\x00\x00", 8), "A"},
        // A code without a decoder here reads as Shift-JIS.
        {0x80, "\x82\xA0", "\xE3\x81\x82"},
        // Bytes the code cannot decode become U+FFFD, each: a byte that starts no character, a
        // lead byte with nothing after it, a broken UTF-8 sequence.
        {0x00, "a\xFDz", "a\xEF\xBF\xBDz"},
        {0x00, "a\x82", "a\xEF\xBF\xBD"},
        {0x02, "a\xB1", "a\xEF\xBF\xBD"},
        {0x23, "a\xC3(", "a\xEF\xBF\xBD("},
    };
    for (const Decoding& decoding : decodings) {
        EXPECT_EQ(DecodeContentsText(decoding.text, decoding.code), decoding.utf8)
            << "code " << int{decoding.code} << ": " << decoding.text;
    }
}

TEST(ContentsCodeTest, TextLongerThanTheDecodersBufferLosesNothing) {
    std::string text;
    std::string decoded;
    for (int i = 0; i < 300; ++i) {
        text += "\x82\xA0";
        decoded += "\xE3\x81\x82";
    }
    EXPECT_EQ(DecodeContentsText(text, 0x00), decoded);
}

}  // namespace
}  // namespace rolvik
