#include "SongSource.h"

#include "core/Loader.h"
#include "core/ShowMessage.h"
#include "import/MidiImport.h"

namespace rolvik {
namespace {

std::optional<ByteVector> SmafBytes(const std::string& path) {
    if (IsStandardMidiFile(path)) {
        std::unique_ptr<Smaf> imported = ImportCompiledMidiFile(path);
        return imported ? std::optional<ByteVector>(std::move(imported->fileData)) : std::nullopt;
    }
    return ReadFileImage(path);
}

}  // namespace

std::optional<SongSource> ReadSongSource(const std::string& path) {
    std::optional<ByteVector> bytes = SmafBytes(path);
    if (!bytes) {
        return std::nullopt;
    }
    std::unique_ptr<synth::Song> song = synth::LoadSong(*bytes);
    if (!song) {
        ShowMessage("Load failed!\nMay be incorrect SMAF specified.(CRC etc.)", "Error",
                    MessageIcon::Error);
        return std::nullopt;
    }
    return SongSource{std::move(*bytes), std::move(song)};
}

}  // namespace rolvik
