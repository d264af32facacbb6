#include "ShiftJisText.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace rolvik::cli {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// One conversion descriptor for the lifetime of a decode.
class Converter {
  public:
    Converter() : descriptor_(iconv_open("UTF-8", "CP932")) {
        if (descriptor_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error("CP932 decoding is not available");
        }
    }
    ~Converter() { iconv_close(descriptor_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    iconv_t get() const { return descriptor_; }

  private:
    iconv_t descriptor_;
};

}  // namespace

std::string ShiftJisToUtf8(std::string_view text) {
    Converter converter;
    std::string decoded;
    char* in = const_cast<char*>(text.data());  // iconv's interface is not const-correct
    std::size_t inLeft = text.size();
    while (inLeft > 0) {
        char buffer[256];
        char* out = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t result = iconv(converter.get(), &in, &inLeft, &out, &outLeft);
        decoded.append(buffer, static_cast<std::size_t>(out - buffer));
        if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
            decoded += kReplacementCharacter;
            ++in;
            --inLeft;
        }
    }
    return decoded;
}

}  // namespace rolvik::cli
