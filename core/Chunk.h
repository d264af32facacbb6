#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "Bytes.h"

namespace rolvik {

// A chunk found by a search: its contents, clamped to the region it was found in, and the size its
// header states (which a damaged file may set larger than what is there).
struct Chunk {
    Bytes contents;
    std::uint32_t statedSize = 0;
};

// Looks for the first chunk with the four-byte `id` among the chunks that begin at the region's
// first byte, stepping from header to header only. A header that does not fit in the region ends
// the walk.
std::optional<Chunk> FindChunk(Bytes region, std::string_view id);

// The same search comparing only the first three bytes of the ID ("MTR" matches every track
// number).
std::optional<Chunk> FindChunkPrefix(Bytes region, std::string_view prefix);

// Steps through the chunk headers of a region in order. The walk ends at the region's end or at a
// header that does not fit; the contents of each chunk are clamped to the region.
class ChunkWalker {
  public:
    explicit ChunkWalker(Bytes region) : region_(region) {}

    struct Entry {
        Bytes id;  // the four ID bytes
        Chunk chunk;
    };
    std::optional<Entry> Next();

  private:
    Bytes region_;
    std::uint64_t offset_ = 0;
};

// The run of chunks inside a file chunk ("MMMD"): its stated contents less the two-byte check code
// that closes them, as far as the bytes are there. A file cut short loses its check code first.
Bytes ChunksBeforeCheckCode(const Chunk& file);

bool BytesEqual(Bytes a, std::string_view b);
bool BytesEqual(Bytes a, Bytes b);

// The part of `path` behind its last separator ('/' or '\\'), stepping over the second byte of
// Shift-JIS double-byte characters so that it is never taken for a backslash.
std::string_view FileNamePart(std::string_view path);

}  // namespace rolvik
