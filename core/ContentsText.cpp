#include "ContentsText.h"

#include <algorithm>

#include "ByteReader.h"
#include "Chunk.h"
#include "ContentsCode.h"

namespace rolvik {
namespace {

constexpr std::size_t kOptionalTextStart = 5;
constexpr std::size_t kContentsCodeByte = 2;
constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kChunkCodeByte = 3;

// The text shown for bytes copied out of a file ends at a zero byte and holds at most
// kMaxTextValueBytes bytes.
std::string ShownText(std::string text) {
    const std::size_t zero = text.find('\0');
    text.resize(std::min({zero, text.size(), kMaxTextValueBytes}));
    return text;
}

std::string AsText(Bytes bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string ReadTag(ByteReader& cursor) {
    return AsText(*cursor.ReadBytes(std::min<std::size_t>(2, cursor.remaining())));
}

// Reads up to the first comma that does not follow a backslash, or to the end of the body, and
// moves past that comma.
std::string ReadOptionalTextValue(Bytes body, ByteReader& cursor) {
    std::string value;
    while (auto byte = cursor.ReadByte()) {
        if (*byte != ',') {
            value += static_cast<char>(*byte);
            continue;
        }
        // The comma sits at offset() - 1, past the five fixed bytes, so the byte before it is
        // inside the body. It may be the separator, which the value does not hold.
        const bool escaped = body[cursor.offset() - 2] == '\\';
        if (!escaped) {
            break;
        }
        if (value.empty()) {
            value += ',';
        } else {
            value.back() = ',';
        }
    }
    return value;
}

// The items of a "Dch" body, decoded from `contentsCode`.
std::vector<TextItem> ReadDchItems(Bytes dchBody, std::uint8_t contentsCode) {
    std::vector<TextItem> items;
    ByteReader cursor(dchBody);
    while (!cursor.empty()) {
        TextItem item;
        item.tag = DecodeContentsText(ShownText(ReadTag(cursor)), contentsCode);
        // An item cut short by the end of the body shows what lies inside the body; a length
        // field cut short leaves nothing to show.
        const auto length = cursor.ReadU16BigEndian();
        const std::size_t available =
            length ? std::min<std::size_t>(*length, cursor.remaining()) : cursor.remaining();
        const Bytes value = *cursor.ReadBytes(available);
        if (length) {
            item.value = DecodeContentsText(ShownText(AsText(value)), contentsCode);
        }
        items.push_back(std::move(item));
    }
    return items;
}

}  // namespace

std::vector<TextItem> ReadOptionalTextItems(Bytes contentsInfoBody) {
    std::vector<TextItem> items;
    ByteReader cursor(contentsInfoBody);
    if (!cursor.Skip(kOptionalTextStart)) {
        return items;
    }
    const std::uint8_t contentsCode = contentsInfoBody[kContentsCodeByte];
    while (!cursor.empty()) {
        TextItem item;
        item.tag = DecodeContentsText(ShownText(ReadTag(cursor)), contentsCode);
        cursor.Skip(1);  // the separator, a colon in well-formed text
        item.value = DecodeContentsText(ShownText(ReadOptionalTextValue(contentsInfoBody, cursor)),
                                        contentsCode);
        items.push_back(std::move(item));
    }
    return items;
}

std::optional<std::vector<TextItem>> ReadDchItemsIn(Bytes optionalDataBody) {
    const auto dch = FindChunkPrefix(optionalDataBody, "Dch");
    if (!dch) {
        return std::nullopt;
    }
    // The chunk's header lies inside the body, right before its contents.
    const auto headerAt = static_cast<std::size_t>(dch->contents.data() - optionalDataBody.data()) -
                          kChunkHeaderBytes;
    return ReadDchItems(dch->contents, optionalDataBody[headerAt + kChunkCodeByte]);
}

}  // namespace rolvik
