#include "MidiImport.h"

#include <new>
#include <system_error>

#include "FinestTimebases.h"
#include "MidiFileError.h"
#include "MidiSong.h"
#include "StandardMidiFileReader.h"
#include "core/FileIO.h"
#include "core/ShowMessage.h"

namespace rolvik {
namespace {

void ShowError(std::string_view text) {
    ShowMessage(text, "Error", MessageIcon::Error);
}

}  // namespace

std::unique_ptr<Smaf> ImportStandardMidiFile(const std::filesystem::path& path) {
    std::optional<ByteVector> file;
    std::error_code error;
    try {
        if (!std::filesystem::is_directory(path, error)) {
            file = ReadWholeFile(path);
        }
    } catch (const std::bad_alloc&) {
        ShowError("Can't alloc memory");
        return nullptr;
    }
    if (!file) {
        ShowError("Can't open " + path.string());
        return nullptr;
    }
    return ImportMidi(*file);
}

std::unique_ptr<Smaf> ImportMidi(Bytes file) {
    try {
        std::unique_ptr<Smaf> smaf = MidiSongDocument(ReadStandardMidiFile(file));
        ChooseFinestTimebases(*smaf);
        return smaf;
    } catch (const MidiFileError& error) {
        ShowError(error.what());
    } catch (const std::bad_alloc&) {
        ShowError("Can't alloc memory");
    }
    return nullptr;
}

}  // namespace rolvik
