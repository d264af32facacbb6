#include "ContentsInfoBody.h"

#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include "ContentsCode.h"

namespace rolvik {
namespace {

constexpr std::uint8_t kLatin1 = 0x01;
constexpr std::uint8_t kShiftJis = 0x00;
constexpr std::uint8_t kUtf8 = 0x23;

using TaggedTexts = std::array<std::pair<std::string_view, std::string_view>, 3>;

TaggedTexts Tagged(const ContentsTexts& texts) {
    return {{{"ST", texts.title}, {"AN", texts.artist}, {"CR", texts.copyright}}};
}

// The texts in the first code that holds all of them, and that code.
std::pair<std::uint8_t, std::array<std::string, 3>> Encoded(const TaggedTexts& texts) {
    for (const std::uint8_t code : {kLatin1, kShiftJis}) {
        std::array<std::string, 3> encoded;
        bool fits = true;
        for (std::size_t i = 0; i < texts.size() && fits; ++i) {
            const std::optional<std::string> text = EncodeContentsText(texts[i].second, code);
            fits = text.has_value();
            encoded[i] = text.value_or("");
        }
        if (fits) {
            return {code, encoded};
        }
    }
    return {
        kUtf8,
        {std::string(texts[0].second), std::string(texts[1].second), std::string(texts[2].second)}};
}

// A comma inside a value is written behind a backslash, which readers take as part of the value.
void AppendValue(ByteVector& body, std::string_view value) {
    for (const char c : value) {
        if (c == ',') {
            body.push_back('\\');
        }
        body.push_back(static_cast<std::uint8_t>(c));
    }
}

}  // namespace

ByteVector BuildContentsInfo(const ContentsTexts& texts) {
    const TaggedTexts tagged = Tagged(texts);
    const auto [code, encoded] = Encoded(tagged);
    ByteVector body = {0x00, 0x32, code, 0xF8, 0x00};
    for (std::size_t i = 0; i < tagged.size(); ++i) {
        if (encoded[i].empty()) {
            continue;
        }
        body.insert(body.end(), tagged[i].first.begin(), tagged[i].first.end());
        body.push_back(':');
        AppendValue(body, encoded[i]);
        body.push_back(',');
    }
    return body;
}

}  // namespace rolvik
