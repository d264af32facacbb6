#include "FileDamage.h"

#include <cstdio>
#include <optional>

#include "CheckCode.h"
#include "Chunk.h"
#include "ScoreTrack.h"
#include "ScoreTrackWalker.h"

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

// The chunk run of a score track, behind its fixed header; none for formats the loader does not
// read.
Bytes TrackRun(Bytes contents) {
    if (contents.empty() || contents[0] > kMobileStandard) {
        return {};
    }
    const std::size_t header =
        contents[0] == kHandyPhoneStandard ? kHandyPhoneHeaderSize : kMobileStandardHeaderSize;
    return contents.size() > header ? contents.subspan(header) : Bytes{};
}

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
std::optional<Oversized> FirstOversizedChunkRead(Bytes fileRun) {
    if (auto oversized = FirstOversizedChunk(fileRun)) {
        return oversized;
    }
    ScoreTrackWalker tracks(fileRun);
    while (auto track = tracks.Next()) {
        if (auto oversized = FirstOversizedChunk(TrackRun(track->chunk.contents))) {
            return oversized;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string DescribeFileDamage(Bytes image) {
    const std::optional<Chunk> file = FindChunk(image, "MMMD");
    if (!file) {
        return {};
    }
    if (file->statedSize > file->contents.size()) {
        return Format(
            "Notice: This file is cut short: it ends %u bytes before the end its file chunk states "
            "(%u bytes). Rolvik loads what is there; the rest of the song is missing.",
            static_cast<unsigned>(file->statedSize - file->contents.size()), file->statedSize);
    }
    if (const auto oversized = FirstOversizedChunkRead(ChunksBeforeCheckCode(*file))) {
        return Format(
            "Notice: A chunk in this file states %u bytes, but only %u are there: the file is "
            "damaged. Rolvik loads what is there.",
            oversized->stated, static_cast<unsigned>(oversized->present));
    }
    if (!HasValidCheckCode(image)) {
        return "Notice: This file fails its check code: it is damaged. Rolvik loads what can be "
               "read; EmuPlay plays it only after a compile.";
    }
    return {};
}

}  // namespace rolvik
