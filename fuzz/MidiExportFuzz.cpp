// Feeds arbitrary bytes to the loader as a file image and exports whatever it made of them as a
// Standard MIDI File, plain and mapped for General MIDI.

#include <cstddef>
#include <cstdint>

#include "core/Loader.h"
#include "core/ShowMessage.h"
#include "export/MidiExport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rolvik;
    ScopedMessageHandler quiet([](std::string_view, std::string_view, MessageIcon) {});
    auto smaf = CreateSmaf(0, 0);
    smaf->fileData.assign(data, data + size);
    LoadSmaf(*smaf);
    ExportMidi(*smaf, {.generalMidi = false});
    ExportMidi(*smaf, {.generalMidi = true});
    return 0;
}
