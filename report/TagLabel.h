#pragma once

#include <string>
#include <string_view>

namespace rolvik {

// Where a tag's label is looked up: the contents-information text knows fewer tags than "Dch".
enum class TagSource { ContentsInfo, Dch };

// The label of a known tag ("ST" is "Title"), or the tag's own characters.
std::string TagLabel(std::string_view tag, TagSource source);

}  // namespace rolvik
