#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Bytes.h"

namespace rolvik {

// One tagged item of a file's contents text: "ST" (title), "AN" (artist), ... The tag holds the
// ASCII bytes found, two or, when the text ends early, fewer, whatever the text's code. The value
// is cut at its first zero code unit and at kMaxTextValueBytes, holds bytes only from inside the
// body it was read from, and is decoded to UTF-8 by the code the file declares for the text; the
// "Dch" item "ES" (edit state), a status byte rather than text, shows its bytes as hex ("F8").
struct TextItem {
    std::string tag;
    std::string value;
};

constexpr std::size_t kMaxTextValueBytes = 255;

// The optional text of a "CNTI" body, from byte 5 on: items "TG:value" separated by commas, where
// a comma right after a backslash belongs to the value and replaces that backslash. The body's
// byte 2 is the contents code of the text.
std::vector<TextItem> ReadOptionalTextItems(Bytes contentsInfoBody);

// The items of the "Dch" chunk in an "OPDA" body, none when it has no "Dch": each a two-byte tag,
// a big-endian 16-bit length, then that many bytes. The fourth byte of the chunk's ID is the
// contents code of the text.
std::optional<std::vector<TextItem>> ReadDchItemsIn(Bytes optionalDataBody);

}  // namespace rolvik
