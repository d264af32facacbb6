// Feeds arbitrary bytes to the loader as a file image, compiles what loads and loads that again;
// the players' look at the image's track formats walks the same chunks.

#include <cstddef>
#include <cstdint>

#include "LoadedInput.h"
#include "core/Compiler.h"
#include "core/HandyPhoneOnly.h"
#include "core/Loader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rolvik;
    IsHandyPhoneOnly(Bytes(data, size));
    fuzz::LoadedInput input(data, size);
    if (!input.loaded) {
        return 0;
    }
    Smaf& smaf = *input.smaf;
    if (auto compiled = CompileSMAF(smaf)) {
        smaf.fileData = std::move(*compiled);
        LoadSmaf(smaf);
    }
    return 0;
}
