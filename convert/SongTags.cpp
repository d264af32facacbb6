#include "SongTags.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

#include "core/Chunk.h"
#include "core/ContentsText.h"
#include "report/TagLabel.h"

namespace rolvik {
namespace {

struct FieldOfTag {
    std::string_view tag;
    AudioTagField field;
};

constexpr std::array<FieldOfTag, 5> kFieldsOfTags = {{
    {"ST", AudioTagField::Title},
    {"AN", AudioTagField::Artist},
    {"CR", AudioTagField::Copyright},
    {"CD", AudioTagField::Date},
    {"CA", AudioTagField::Genre},
}};

AudioTag TagOf(const TextItem& item, TagSource source) {
    for (const FieldOfTag& entry : kFieldsOfTags) {
        if (entry.tag == item.tag) {
            return {entry.field, item.value};
        }
    }
    return {AudioTagField::Comment, TagLabel(item.tag, source) + ": " + item.value};
}

bool Holds(const std::vector<TextItem>& items, const std::string& tag) {
    return std::ranges::any_of(items, [&tag](const TextItem& item) { return item.tag == tag; });
}

}  // namespace

std::vector<AudioTag> SongTags(Bytes smafFile) {
    const Bytes contentArea = FileChunkRun(smafFile);
    std::vector<TextItem> contentsItems;
    if (const auto contentsInfo = FindChunk(contentArea, "CNTI")) {
        contentsItems = ReadOptionalTextItems(contentsInfo->contents);
    }
    std::vector<AudioTag> tags;
    for (const TextItem& item : contentsItems) {
        if (!item.value.empty()) {
            tags.push_back(TagOf(item, TagSource::ContentsInfo));
        }
    }
    const auto optionalData = FindChunk(contentArea, "OPDA");
    const auto dchItems = optionalData ? ReadDchItemsIn(optionalData->contents) : std::nullopt;
    for (const TextItem& item : dchItems.value_or(std::vector<TextItem>{})) {
        if (!item.value.empty() && !Holds(contentsItems, item.tag)) {
            tags.push_back(TagOf(item, TagSource::Dch));
        }
    }
    return tags;
}

}  // namespace rolvik
