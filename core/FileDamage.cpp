#include "FileDamage.h"

#include <cstdio>
#include <optional>

#include "Chunk.h"

namespace rolvik {
namespace {

std::string Format(const char* format, unsigned first, unsigned second) {
    char text[256];
    std::snprintf(text, sizeof text, format, first, second);
    return text;
}

struct Oversized {
    std::uint32_t stated;
    std::size_t present;
};

std::optional<Oversized> FirstOversizedChunk(Bytes run) {
    ChunkWalker walker(run);
    while (auto entry = walker.Next()) {
        if (entry->chunk.statedSize > entry->chunk.contents.size()) {
            return Oversized{entry->chunk.statedSize, entry->chunk.contents.size()};
        }
    }
    return std::nullopt;
}

// The chunks of the file chunk's run, and those of every score track: the chunks the loader reads.
std::optional<Oversized> FirstOversizedChunkRead(const FileView& file) {
    if (auto oversized = FirstOversizedChunk(file.run)) {
        return oversized;
    }
    for (const ScoreTrackView& track : file.scoreTracks) {
        if (auto oversized = FirstOversizedChunk(track.run)) {
            return oversized;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string DescribeFileDamage(const FileView& view) {
    const std::optional<Chunk>& file = view.file;
    if (!file) {
        return {};
    }
    if (file->statedSize > file->contents.size()) {
        return Format(
            "Notice: This file is cut short: it ends %u bytes before the end its file chunk states "
            "(%u bytes). Rolvik loads what is there; the rest of the song is missing.",
            static_cast<unsigned>(file->statedSize - file->contents.size()), file->statedSize);
    }
    if (const auto oversized = FirstOversizedChunkRead(view)) {
        return Format(
            "Notice: A chunk in this file states %u bytes, but only %u are there: the file is "
            "damaged. Rolvik loads what is there.",
            oversized->stated, static_cast<unsigned>(oversized->present));
    }
    if (!view.checkCodeValid) {
        return "Notice: This file fails its check code: it is damaged. Rolvik loads what can be "
               "read; EmuPlay plays it only after a compile.";
    }
    return {};
}

}  // namespace rolvik
