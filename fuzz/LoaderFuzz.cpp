// Feeds arbitrary bytes to the loader as a file image, compiles what loads and loads that again.

#include <cstddef>
#include <cstdint>

#include "core/Compiler.h"
#include "core/Loader.h"
#include "core/ShowMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rolvik;
    ScopedMessageHandler quiet([](std::string_view, std::string_view, MessageIcon) {});
    auto smaf = CreateSmaf(0, 0);
    smaf->fileData.assign(data, data + size);
    if (!LoadSmaf(*smaf)) {
        return 0;
    }
    if (auto compiled = CompileSMAF(*smaf)) {
        smaf->fileData = std::move(*compiled);
        LoadSmaf(*smaf);
    }
    return 0;
}
