#include "TagLabel.h"

#include <array>

namespace rolvik {
namespace {

struct TagLabelEntry {
    std::string_view tag;
    std::string_view label;
    bool dchOnly;
};

constexpr std::array<TagLabelEntry, 16> kTagLabels = {{
    {"VN", "Vendor", false},
    {"CN", "Carrior", false},
    {"CA", "Category", false},
    {"ST", "Title", false},
    {"AN", "Artist", false},
    {"WW", "Word", false},
    {"SW", "Music", false},
    {"AW", "Edit", false},
    {"CR", "Copyright", false},
    {"GR", "CR-Group", false},
    {"MI", "ManInfo", false},
    {"CD", "Create", false},
    {"UD", "Update", false},
    {"ES", "EditState", true},
    {"VC", "vCard", true},
    {" C", "Copy by?", false},
}};

}  // namespace

std::string TagLabel(std::string_view tag, TagSource source) {
    for (const TagLabelEntry& entry : kTagLabels) {
        if (entry.tag == tag && (!entry.dchOnly || source == TagSource::Dch)) {
            return std::string(entry.label);
        }
    }
    return std::string(tag);
}

}  // namespace rolvik
