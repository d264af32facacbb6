// Feeds arbitrary bytes to the MIDI import as a file's contents, compiles whatever document it
// makes and loads the compiled file back: an imported song must always make a file that loads.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/Compiler.h"
#include "core/Loader.h"
#include "core/ShowMessage.h"
#include "import/MidiImport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rolvik;
    const ScopedMessageHandler quiet([](std::string_view, std::string_view, MessageIcon) {});
    std::unique_ptr<Smaf> smaf = ImportMidi(Bytes(data, size));
    if (!smaf) {
        return 0;
    }
    auto compiled = CompileSMAF(*smaf);
    if (!compiled) {
        std::abort();
    }
    smaf->fileData = std::move(*compiled);
    if (!LoadSmaf(*smaf)) {
        std::abort();
    }
    return 0;
}
