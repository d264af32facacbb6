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

bool HasValidCheckCode(Bytes fileImage) {
    const auto file = FindChunk(fileImage, "MMMD");
    if (!file || file->contents.size() != file->statedSize || file->statedSize < 2) {
        return false;
    }
    const std::size_t chunkStart =
        static_cast<std::size_t>(file->contents.data() - fileImage.data()) - 8;
    const std::size_t checkAt = chunkStart + 8 + file->statedSize - 2;
    const Bytes covered = fileImage.subspan(chunkStart, checkAt - chunkStart);
    const auto stored =
        static_cast<std::uint16_t>((fileImage[checkAt] << 8) | fileImage[checkAt + 1]);
    return SmafCheckCode(covered) == stored;
}

}  // namespace rolvik
