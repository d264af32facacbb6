#include "Huffman.h"

#include <algorithm>
#include <array>
#include <optional>

#include "BitReader.h"

namespace rolvik {
namespace {

// Node numbers below 256 are leaves carrying their byte value; internal nodes are numbered from
// 256 in the order they are read. A tree over 256 byte values needs at most 255 internal nodes.
constexpr std::uint16_t kFirstInternalNode = 256;
constexpr std::uint16_t kNodeLimit = 511;
constexpr std::size_t kInternalNodeCount = kNodeLimit - kFirstInternalNode;

bool IsLeaf(std::uint16_t node) {
    return node < kFirstInternalNode;
}

class CodeTree {
  public:
    // Reads the tree from the start of the bits; false after "Incorrect tree".
    bool Read(BitReader& reader, Diagnostics& diagnostics) {
        nextNode_ = kFirstInternalNode;
        const auto root = ReadSubtree(reader);
        if (!root) {
            diagnostics.Error("Incorrect tree");
            return false;
        }
        root_ = *root;
        return true;
    }

    // Walks from the root to a leaf. Once the bits run out every bit reads as 1, the right child.
    std::uint8_t DecodeByte(BitReader& reader) const {
        std::uint16_t node = root_;
        while (!IsLeaf(node)) {
            node = ReadBit(reader) == 0 ? Left(node) : Right(node);
        }
        return static_cast<std::uint8_t>(node);
    }

    // The byte every code decodes to once the bits have run out: the rightmost leaf.
    std::uint8_t RightmostLeaf() const {
        std::uint16_t node = root_;
        while (!IsLeaf(node)) {
            node = Right(node);
        }
        return static_cast<std::uint8_t>(node);
    }

  private:
    // Fails only on a tree with more internal nodes than the byte values need.
    // Recursion depth is bounded by the node limit, so a hostile tree cannot exhaust the stack.
    std::optional<std::uint16_t> ReadSubtree(BitReader& reader) {
        if (ReadBit(reader) == 0) {
            return static_cast<std::uint16_t>(ReadBits(reader, 8));
        }
        const std::uint16_t node = nextNode_++;
        if (node >= kNodeLimit) {
            return std::nullopt;
        }
        const auto left = ReadSubtree(reader);
        if (!left) {
            return std::nullopt;
        }
        const auto right = ReadSubtree(reader);
        if (!right) {
            return std::nullopt;
        }
        left_[node - kFirstInternalNode] = *left;
        right_[node - kFirstInternalNode] = *right;
        return node;
    }

    std::uint16_t Left(std::uint16_t node) const { return left_[node - kFirstInternalNode]; }
    std::uint16_t Right(std::uint16_t node) const { return right_[node - kFirstInternalNode]; }

    std::array<std::uint16_t, kInternalNodeCount> left_{};
    std::array<std::uint16_t, kInternalNodeCount> right_{};
    std::uint16_t nextNode_ = kFirstInternalNode;
    std::uint16_t root_ = 0;
};

}  // namespace

bool huffmanDecode(std::span<std::uint8_t> output, Bytes input, Diagnostics& diagnostics) {
    BitReader reader = NewBitReader(input);
    CodeTree tree;
    if (!tree.Read(reader, diagnostics)) {
        return false;
    }
    std::size_t written = 0;
    while (written < output.size() && !AtEndOfData(reader)) {
        output[written++] = tree.DecodeByte(reader);
    }
    // Past the end of the bits every code is the same, so the rest is filled at once: a stated size
    // far beyond what the input could encode costs no more than writing the bytes.
    std::fill(output.begin() + static_cast<std::ptrdiff_t>(written), output.end(),
              tree.RightmostLeaf());
    return true;
}

}  // namespace rolvik
