#include "OpenSong.h"

#include "MidiImport.h"
#include "core/Loader.h"

namespace rolvik {

OpenedSong OpenSong(const std::filesystem::path& path) {
    if (IsStandardMidiFile(path)) {
        return {ImportCompiledMidiFile(path), SongOrigin::StandardMidi};
    }
    return {OpenSmaf(path), SongOrigin::Smaf};
}

std::optional<ByteVector> ReadSongBytes(const std::filesystem::path& path) {
    if (IsStandardMidiFile(path)) {
        std::unique_ptr<Smaf> imported = ImportCompiledMidiFile(path);
        return imported ? std::optional<ByteVector>(std::move(imported->fileData)) : std::nullopt;
    }
    return ReadFileImage(path);
}

}  // namespace rolvik
