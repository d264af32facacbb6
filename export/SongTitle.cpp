#include "SongTitle.h"

#include <algorithm>
#include <vector>

#include "core/Chunk.h"
#include "ui/detail/report/ContentsText.h"

namespace rolvik {
namespace {

constexpr std::size_t kCheckCodeSize = 2;

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
    const auto file = FindChunk(document.file(), "MMMD");
    if (!file) {
        return {};
    }
    const Bytes contentArea = file->contents.first(file->contents.size() -
                                                   std::min(file->contents.size(), kCheckCodeSize));
    if (const auto contentsInfo = FindChunk(contentArea, "CNTI")) {
        std::string title = TitleAmong(ReadOptionalTextItems(contentsInfo->contents));
        if (!title.empty()) {
            return title;
        }
    }
    if (const auto optionalData = FindChunk(contentArea, "OPDA")) {
        if (const auto dch = FindChunkPrefix(optionalData->contents, "Dch")) {
            return TitleAmong(ReadDchItems(dch->contents));
        }
    }
    return {};
}

}  // namespace rolvik
