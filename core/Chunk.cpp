#include "Chunk.h"

#include <algorithm>

#include "ByteReader.h"

namespace rolvik {
namespace {

constexpr std::size_t kHeaderSize = 8;

std::optional<Chunk> FindChunkMatching(Bytes region, std::string_view id, std::size_t compared) {
    ChunkWalker walker(region);
    while (auto entry = walker.Next()) {
        if (BytesEqual(entry->id.first(compared), id.substr(0, compared))) {
            return entry->chunk;
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<ChunkWalker::Entry> ChunkWalker::Next() {
    if (offset_ + kHeaderSize > region_.size()) {
        return std::nullopt;
    }
    ByteReader header(region_.subspan(static_cast<std::size_t>(offset_), kHeaderSize));
    Entry entry;
    entry.id = *header.ReadBytes(4);
    entry.chunk.statedSize = *header.ReadU32BigEndian();
    const std::uint64_t contentsAt = offset_ + kHeaderSize;
    const std::uint64_t available = region_.size() - contentsAt;
    entry.chunk.contents = region_.subspan(
        static_cast<std::size_t>(contentsAt),
        static_cast<std::size_t>(std::min<std::uint64_t>(entry.chunk.statedSize, available)));
    offset_ = contentsAt + entry.chunk.statedSize;
    return entry;
}

std::optional<Chunk> FindChunk(Bytes region, std::string_view id) {
    return FindChunkMatching(region, id, 4);
}

std::optional<Chunk> FindChunkPrefix(Bytes region, std::string_view prefix) {
    return FindChunkMatching(region, prefix, 3);
}

Bytes ChunksBeforeCheckCode(const Chunk& file) {
    constexpr std::uint32_t kCheckCodeSize = 2;
    const std::uint32_t runSize =
        file.statedSize >= kCheckCodeSize ? file.statedSize - kCheckCodeSize : 0;
    return file.contents.first(std::min<std::size_t>(runSize, file.contents.size()));
}

bool BytesEqual(Bytes a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](std::uint8_t x, char y) { return x == static_cast<std::uint8_t>(y); });
}

bool BytesEqual(Bytes a, Bytes b) {
    return std::ranges::equal(a, b);
}

std::string_view FileNamePart(std::string_view path) {
    std::size_t nameStart = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(path[i]);
        const bool leadByte = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        if (leadByte) {
            ++i;
        } else if (byte == '\\' || byte == '/') {
            nameStart = i + 1;
        }
    }
    return path.substr(nameStart);
}

}  // namespace rolvik
