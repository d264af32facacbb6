#include "core/BitReader.h"
#include "core/ByteReader.h"
#include "core/Chunk.h"
#include "core/FileIO.h"
#include "core/Huffman.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/Corpus.h"
#include "tests/support/MessageRecorder.h"

namespace rolvik {
namespace {

using testing::MessageRecorder;
using testing::ShownMessage;

const ShownMessage kIncorrectTree{"Incorrect tree", "Error", MessageIcon::Error};

// Packs bits most significant first, the last byte padded with zeros.
class BitWriter {
  public:
    void Bit(int bit) {
        if (count_ % 8 == 0) {
            bytes_.push_back(0);
        }
        if (bit) {
            bytes_.back() |= static_cast<std::uint8_t>(0x80 >> (count_ % 8));
        }
        ++count_;
    }
    void Bits(std::uint32_t value, unsigned n) {
        while (n-- > 0) {
            Bit((value >> n) & 1);
        }
    }
    void Leaf(std::uint8_t value) {
        Bit(0);
        Bits(value, 8);
    }
    const ByteVector& bytes() const { return bytes_; }

  private:
    ByteVector bytes_;
    std::size_t count_ = 0;
};

// A chain of `internalNodes` nodes, each with leaf i on its left: the code of leaf i is i ones and
// a zero; the last leaf, 0xEE, is reached by as many ones as there are nodes.
BitWriter ChainTree(unsigned internalNodes) {
    BitWriter writer;
    for (unsigned i = 0; i < internalNodes; ++i) {
        writer.Bit(1);
        writer.Leaf(static_cast<std::uint8_t>(i));
    }
    writer.Leaf(0xEE);
    return writer;
}

ByteVector Decode(const ByteVector& input, std::size_t outputSize, bool* ok = nullptr) {
    ByteVector output(outputSize, 0x5A);
    UserDiagnostics toUser;
    const bool decoded = huffmanDecode(output, input, toUser);
    if (ok) {
        *ok = decoded;
    }
    return output;
}

TEST(BitReader, ReadsMostSignificantBitFirstAndStaysAtEndOfData) {
    const ByteVector bytes{0xA5, 0x3C};
    BitReader reader = NewBitReader(bytes);
    EXPECT_EQ(ReadBits(reader, 4), 0xAu);
    EXPECT_EQ(ReadBits(reader, 8), 0x53u);
    EXPECT_EQ(ReadBits(reader, 8), 0u) << "the bytes end on the way";
    EXPECT_EQ(ReadBit(reader), kEndOfData);
    EXPECT_EQ(ReadBit(reader), kEndOfData);
}

TEST(HuffmanDecode, MissingBitsReadAsOnesUntilTheStatedSize) {
    bool ok = false;
    EXPECT_EQ(Decode({0x90, 0x48, 0x4C}, 4, &ok), (ByteVector{0x41, 0x42, 0x42, 0x41}));
    EXPECT_TRUE(ok);
    // After the four data bits one zero bit is left (0x41); every later bit is missing, so each
    // further byte is the right-hand leaf.
    EXPECT_EQ(Decode({0x90, 0x48, 0x4C}, 9),
              (ByteVector{0x41, 0x42, 0x42, 0x41, 0x41, 0x42, 0x42, 0x42, 0x42}));
    // The same holds for a size far beyond what the input could encode.
    const ByteVector large = Decode({0x90, 0x48, 0x4C}, 16u << 20);
    EXPECT_TRUE(std::all_of(large.begin() + 5, large.end(), [](auto b) { return b == 0x42; }));
}

TEST(HuffmanDecode, SingleLeafTreeFillsEveryByte) {
    BitWriter tree;
    tree.Leaf(0x20);
    EXPECT_EQ(Decode(tree.bytes(), 5), ByteVector(5, 0x20));
    // A leaf value cut short by the end of the input reads as 0.
    EXPECT_EQ(Decode({0x7F}, 3), ByteVector(3, 0x00));
}

TEST(HuffmanDecode, DeepestTreeIsAcceptedAndDecoded) {
    BitWriter writer = ChainTree(255);
    const auto code = [&writer](int ones, bool closingZero) {
        for (int i = 0; i < ones; ++i) {
            writer.Bit(1);
        }
        if (closingZero) {
            writer.Bit(0);
        }
    };
    code(3, true);
    code(254, true);
    code(255, false);
    code(0, true);
    MessageRecorder recorder;
    bool ok = false;
    EXPECT_EQ(Decode(writer.bytes(), 4, &ok), (ByteVector{3, 254, 0xEE, 0}));
    EXPECT_TRUE(ok);
    EXPECT_TRUE(recorder.messages.empty());
}

TEST(HuffmanDecode, TooManyInternalNodesIsIncorrectTree) {
    MessageRecorder recorder;
    bool ok = true;
    const ByteVector untouched = Decode(ChainTree(256).bytes(), 3, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(recorder.messages, std::vector<ShownMessage>{kIncorrectTree});
    EXPECT_EQ(untouched, ByteVector(3, 0x5A));
}

TEST(HuffmanDecode, InputEndingInsideTheTreeIsIncorrectTree) {
    for (const ByteVector& input : {ByteVector{}, ByteVector{0x90}, ByteVector{0xFF, 0xFF}}) {
        for (std::size_t outputSize : {0, 2}) {
            MessageRecorder recorder;
            bool ok = true;
            Decode(input, outputSize, &ok);
            EXPECT_FALSE(ok);
            EXPECT_EQ(recorder.messages, std::vector<ShownMessage>{kIncorrectTree});
        }
    }
}

// The sequence data of the first score track of a SMAF file: the track header is 20 bytes for the
// compressed and uncompressed Mobile Standard formats.
Bytes SequenceData(const ByteVector& file) {
    const auto mmmd = FindChunk(file, "MMMD");
    if (!mmmd || mmmd->contents.size() < 2) {
        return {};
    }
    const Bytes run = mmmd->contents.first(mmmd->contents.size() - 2);
    const auto track = FindChunkPrefix(run, "MTR");
    if (!track || track->contents.size() < 20) {
        return {};
    }
    const auto sequence = FindChunk(track->contents.subspan(20), "Mtsq");
    return sequence ? sequence->contents : Bytes{};
}

TEST(HuffmanDecode, CompressedCorpusSongMatchesItsUncompressedTwin) {
    ROLVIK_REQUIRE_CORPUS();
    const auto compressed = ReadWholeFile(ROLVIK_CORPUS_DIR "/vavi__B_z_-_Love_phantom_c.mmf");
    const auto plain = ReadWholeFile(ROLVIK_CORPUS_DIR "/vavi__B_z_-_Love_phantom.mmf");
    ASSERT_TRUE(compressed && plain);
    const Bytes coded = SequenceData(*compressed);
    const Bytes expected = SequenceData(*plain);
    ASSERT_GT(coded.size(), 4u);
    ASSERT_FALSE(expected.empty());

    ByteReader prefix(coded);
    const std::uint32_t decodedSize = *prefix.ReadU32BigEndian();
    ASSERT_EQ(decodedSize, expected.size());
    ByteVector decoded(decodedSize);
    MessageRecorder recorder;
    UserDiagnostics toUser;
    ASSERT_TRUE(huffmanDecode(decoded, prefix.rest(), toUser));
    EXPECT_TRUE(BytesEqual(decoded, expected));
    EXPECT_TRUE(recorder.messages.empty());
}

}  // namespace
}  // namespace rolvik
