#include "SongTitle.h"

#include <vector>

#include "core/Chunk.h"
#include "core/ContentsText.h"

namespace rolvik {
namespace {

std::string TitleAmong(const std::vector<TextItem>& items) {
    for (const TextItem& item : items) {
        if (item.tag == "ST" && !item.value.empty()) {
            return item.value;
        }
    }
    return {};
}

}  // namespace

std::string SongTitle(const Smaf& document) {
    const Bytes contentArea = FileChunkRun(document.file());
    if (const auto contentsInfo = FindChunk(contentArea, "CNTI")) {
        std::string title = TitleAmong(ReadOptionalTextItems(contentsInfo->contents));
        if (!title.empty()) {
            return title;
        }
    }
    if (const auto optionalData = FindChunk(contentArea, "OPDA")) {
        if (const auto items = ReadDchItemsIn(optionalData->contents)) {
            return TitleAmong(*items);
        }
    }
    return {};
}

}  // namespace rolvik
