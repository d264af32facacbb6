#include "OpenSong.h"

#include "core/Loader.h"
#include "import/MidiImport.h"

namespace rolvik {

std::unique_ptr<Smaf> OpenSong(const std::filesystem::path& path) {
    if (IsStandardMidiFile(path)) {
        return ImportCompiledMidiFile(path);
    }
    return OpenSmaf(path);
}

}  // namespace rolvik
