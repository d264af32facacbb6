// Feeds arbitrary bytes to the loader as a file image and exports whatever it made of them as a
// Standard MIDI File, plain and mapped for General MIDI.

#include <cstddef>
#include <cstdint>

#include "LoadedInput.h"
#include "export/MidiExport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rolvik;
    const fuzz::LoadedInput input(data, size);
    ExportMidi(*input.smaf, {.generalMidi = false});
    ExportMidi(*input.smaf, {.generalMidi = true});
    return 0;
}
