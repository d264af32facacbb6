// Decodes arbitrary bytes as a compressed sequence; the first two bytes choose the decoded size.

#include <cstddef>
#include <cstdint>

#include "core/Diagnostics.h"
#include "core/Huffman.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rolvik;
    if (size < 2) {
        return 0;
    }
    ByteVector output(static_cast<std::size_t>(data[0]) << 8 | data[1]);
    SilentDiagnostics quiet;
    huffmanDecode(output, Bytes(data + 2, size - 2), quiet);
    return 0;
}
