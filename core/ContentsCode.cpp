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
            return "UTF-16";
        case 0x25:
            return "UTF-32";
        default:
            return kShiftJis;
    }
}

// Opening and closing a descriptor loads and unloads the character set's module with the dynamic
// loader, whose own locking a thread checker cannot see; songs decoded on several threads at once
// take turns there, so that every load and unload is ordered where it can be checked.
std::mutex converterModules;

// One conversion descriptor for the lifetime of a decode; invalid when iconv lacks the set.
class Converter {
  public:
    explicit Converter(const char* characterSet) : descriptor_(Open(characterSet)) {}
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
    static iconv_t Open(const char* characterSet) {
        const std::lock_guard lock(converterModules);
        return iconv_open("UTF-8", characterSet);
    }

    iconv_t descriptor_;
};

}  // namespace

std::string DecodeContentsText(std::string_view text, std::uint8_t contentsCode) {
    Converter converter(CharacterSetOf(contentsCode));
    std::string decoded;
    char* in = const_cast<char*>(text.data());  // iconv's interface is not const-correct
    std::size_t inLeft = text.size();
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

}  // namespace rolvik
