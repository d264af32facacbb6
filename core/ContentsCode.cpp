#include "ContentsCode.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>

namespace rolvik {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";
constexpr const char* kShiftJis = "CP932";

// The character set iconv knows each declared code by. EUC-KR and GB-2312 are read with the
// supersets that Korean and Chinese phones wrote under those names.
const char* CharacterSetOf(std::uint8_t contentsCode) {
    switch (contentsCode) {
        case 0x00:
            return kShiftJis;
        case 0x01:
            return "ISO-8859-1";
        case 0x02:
            return "CP949";
        case 0x03:
            return "GBK";
        case 0x04:
            return "BIG5";
        case 0x05:
            return "KOI8-R";
        case 0x20:
            return "UCS-2BE";
        case 0x21:
            return "UCS-4BE";
        case 0x22:
            return "UTF-7";
        case 0x23:
            return "UTF-8";
        case 0x24:
            return "UTF-16BE";
        case 0x25:
            return "UTF-32BE";
        default:
            return kShiftJis;
    }
}

// The same code with its bytes in the other order, for text whose byte order mark says so.
const char* LittleEndianSetOf(std::uint8_t contentsCode) {
    switch (contentsCode) {
        case 0x20:
            return "UCS-2LE";
        case 0x21:
            return "UCS-4LE";
        case 0x24:
            return "UTF-16LE";
        case 0x25:
            return "UTF-32LE";
        default:
            return CharacterSetOf(contentsCode);
    }
}

// What a decode reads: the character set, and the text without its byte order mark.
struct Reading {
    const char* characterSet;
    std::string_view text;
};

Reading ReadingOf(std::string_view text, std::uint8_t contentsCode) {
    const std::size_t unit = CodeUnitBytes(contentsCode);
    if (unit == 1) {
        return {CharacterSetOf(contentsCode), text};
    }
    const std::string_view bigEndianMark =
        unit == 2 ? std::string_view("\xFE\xFF", 2) : std::string_view("\0\0\xFE\xFF", 4);
    const std::string_view littleEndianMark =
        unit == 2 ? std::string_view("\xFF\xFE", 2) : std::string_view("\xFF\xFE\0\0", 4);
    if (text.starts_with(bigEndianMark)) {
        return {CharacterSetOf(contentsCode), text.substr(unit)};
    }
    if (text.starts_with(littleEndianMark)) {
        return {LittleEndianSetOf(contentsCode), text.substr(unit)};
    }
    return {CharacterSetOf(contentsCode), text};
}

// Opening and closing a descriptor loads and unloads the character set's module with the dynamic
// loader, whose own locking a thread checker cannot see; songs decoded on several threads at once
// take turns there, so that every load and unload is ordered where it can be checked.
std::mutex converterModules;

// One conversion descriptor for the lifetime of a decode; invalid when iconv lacks the set.
class Converter {
  public:
    Converter(const char* to, const char* from) : descriptor_(Open(to, from)) {}
    ~Converter() {
        if (valid()) {
            const std::lock_guard lock(converterModules);
            iconv_close(descriptor_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return descriptor_; }

  private:
    static iconv_t Open(const char* to, const char* from) {
        const std::lock_guard lock(converterModules);
        return iconv_open(to, from);
    }

    iconv_t descriptor_;
};

}  // namespace

std::size_t CodeUnitBytes(std::uint8_t contentsCode) {
    switch (contentsCode) {
        case 0x20:
        case 0x24:
            return 2;
        case 0x21:
        case 0x25:
            return 4;
        default:
            return 1;
    }
}

std::string DecodeContentsText(std::string_view text, std::uint8_t contentsCode) {
    const Reading reading = ReadingOf(text, contentsCode);
    Converter converter("UTF-8", reading.characterSet);
    std::string decoded;
    char* in = const_cast<char*>(reading.text.data());  // iconv's interface is not const-correct
    std::size_t inLeft = reading.text.size();
    while (inLeft > 0) {
        char buffer[256];
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = converter.valid()
                                       ? iconv(converter.get(), &in, &inLeft, &out, &outLeft)
                                       : static_cast<std::size_t>(-1);
        decoded.append(buffer, static_cast<std::size_t>(out - buffer));
        if (result == static_cast<std::size_t>(-1) && (!converter.valid() || errno != E2BIG)) {
            decoded += kReplacementCharacter;
            ++in;
            --inLeft;
        }
    }
    return decoded;
}

std::optional<std::string> EncodeContentsText(std::string_view utf8, std::uint8_t contentsCode) {
    Converter converter(CharacterSetOf(contentsCode), "UTF-8");
    if (!converter.valid()) {
        return std::nullopt;
    }
    std::string encoded;
    char* in = const_cast<char*>(utf8.data());  // iconv's interface is not const-correct
    std::size_t inLeft = utf8.size();
    while (inLeft > 0) {
        char buffer[256];
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
        encoded.append(buffer, static_cast<std::size_t>(out - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            return std::nullopt;
        }
    }
    return encoded;
}

}  // namespace rolvik
