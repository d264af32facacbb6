#include "CheckCode.h"

#include <array>

#include "Chunk.h"

namespace rolvik {
namespace {

constexpr std::array<std::uint16_t, 256> MakeTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned byte = 0; byte < 256; ++byte) {
        std::uint16_t crc = static_cast<std::uint16_t>(byte << 8);
        for (int bit = 0; bit < 8; ++bit) {
            crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
        }
        table[byte] = crc;
    }
    return table;
}

constexpr std::array<std::uint16_t, 256> kTable = MakeTable();

}  // namespace

std::uint16_t SmafCheckCode(Bytes bytes) {
    std::uint16_t crc = 0xFFFF;
    for (std::uint8_t byte : bytes) {
        crc = static_cast<std::uint16_t>((crc << 8) ^ kTable[((crc >> 8) ^ byte) & 0xFF]);
    }
    return static_cast<std::uint16_t>(~crc);
}

bool CheckCodeMatches(const Chunk& file) {
    constexpr std::size_t kHeaderSize = 8;
    if (file.contents.size() != file.statedSize || file.statedSize < 2) {
        return false;
    }
    // The header lies in the same image, just before the contents.
    const Bytes whole(file.contents.data() - kHeaderSize, kHeaderSize + file.statedSize);
    const std::size_t checkAt = whole.size() - 2;
    const auto stored = static_cast<std::uint16_t>((whole[checkAt] << 8) | whole[checkAt + 1]);
    return SmafCheckCode(whole.first(checkAt)) == stored;
}

bool HasValidCheckCode(Bytes fileImage) {
    const auto file = FindChunk(fileImage, "MMMD");
    return file && CheckCodeMatches(*file);
}

}  // namespace rolvik
