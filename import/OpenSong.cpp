#include "OpenSong.h"

#include "MidiImport.h"
#include "core/Loader.h"

namespace rolvik {

OpenedSong OpenSong(const std::filesystem::path& path) {
    if (IsStandardMidiFile(path)) {
        return {ImportCompiledMidiFile(path), SongSource::StandardMidi};
    }
    return {OpenSmaf(path), SongSource::Smaf};
}

}  // namespace rolvik
