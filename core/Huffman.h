#pragma once

#include <cstdint>
#include <span>

#include "Bytes.h"
#include "Diagnostics.h"

namespace rolvik {

// Decodes Huffman-coded bytes: the code tree, stored pre-order at the start of the bits (0 and
// eight bits: a leaf with that byte value; 1: an internal node, its left subtree, then its right
// subtree), followed without alignment by the codes of the output bytes. Fills exactly
// output.size() bytes.
//
// Fails, after reporting "Incorrect tree" to `diagnostics`, when the tree has more than 255
// internal nodes. Input that ends early is not a failure: missing bits read as 1 and a leaf value
// cut short reads as 0.
bool huffmanDecode(std::span<std::uint8_t> output, Bytes input, Diagnostics& diagnostics);

}  // namespace rolvik
