// Feeds arbitrary bytes to the loader as a file image, compiles what loads and loads that again.

#include <cstddef>
#include <cstdint>

#include "LoadedInput.h"
#include "core/Compiler.h"
#include "core/Loader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rolvik;
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
