#include "SongSource.h"

#include "core/ShowMessage.h"
#include "import/OpenSong.h"

namespace rolvik {

std::optional<SongSource> ReadSongSource(const std::string& path) {
    std::optional<ByteVector> bytes = ReadSongBytes(path);
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
