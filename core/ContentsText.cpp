#include "ContentsText.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "ByteReader.h"
#include "Chunk.h"
#include "ContentsCode.h"

namespace rolvik {
namespace {

constexpr std::size_t kOptionalTextStart = 5;
constexpr std::size_t kContentsCodeByte = 2;
constexpr std::size_t kChunkHeaderBytes = 8;
constexpr std::size_t kChunkCodeByte = 3;

constexpr std::string_view kEditStateTag = "ES";
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// The text shown for bytes copied out of a file ends at its first zero code unit and holds at most
// kMaxTextValueBytes bytes, in whole code units.
std::string ShownText(std::string text, std::size_t unitBytes) {
    std::size_t end = std::min(text.size(), kMaxTextValueBytes / unitBytes * unitBytes);
    for (std::size_t at = 0; at + unitBytes <= end; at += unitBytes) {
        if (text.compare(at, unitBytes, std::string(unitBytes, '\0')) == 0) {
            end = at;
            break;
        }
    }
    text.resize(end);
    return text;
}

std::string AsText(Bytes bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// A tag is two ASCII bytes whatever the text's code; a byte that is no ASCII shows as U+FFFD.
std::string ReadTag(ByteReader& cursor) {
    const std::string bytes =
        ShownText(AsText(*cursor.ReadBytes(std::min<std::size_t>(2, cursor.remaining()))), 1);
    std::string tag;
    for (const char byte : bytes) {
        tag += static_cast<unsigned char>(byte) < 0x80 ? std::string_view(&byte, 1)
                                                       : kReplacementCharacter;
    }
    return tag;
}

std::string DecodedValue(std::string value, std::uint8_t contentsCode) {
    return DecodeContentsText(ShownText(std::move(value), CodeUnitBytes(contentsCode)),
                              contentsCode);
}

// A "Dch" edit state is a status byte, not text: each byte shows as two hex digits.
std::string HexBytes(Bytes bytes) {
    constexpr std::string_view kDigits = "0123456789ABCDEF";
    std::string shown;
    for (const std::uint8_t byte : bytes.first(std::min(bytes.size(), kMaxTextValueBytes))) {
        if (!shown.empty()) {
            shown += ' ';
        }
        shown += kDigits[byte >> 4];
        shown += kDigits[byte & 0x0F];
    }
    return shown;
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
        item.tag = ReadTag(cursor);
        // An item cut short by the end of the body shows what lies inside the body; a length
        // field cut short leaves nothing to show.
        const auto length = cursor.ReadU16BigEndian();
        const std::size_t available =
            length ? std::min<std::size_t>(*length, cursor.remaining()) : cursor.remaining();
        const Bytes value = *cursor.ReadBytes(available);
        if (length) {
            item.value = item.tag == kEditStateTag ? HexBytes(value)
                                                   : DecodedValue(AsText(value), contentsCode);
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
        item.tag = ReadTag(cursor);
        cursor.Skip(1);  // the separator, a colon in well-formed text
        item.value = DecodedValue(ReadOptionalTextValue(contentsInfoBody, cursor), contentsCode);
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
