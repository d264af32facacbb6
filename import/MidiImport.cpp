#include "MidiImport.h"

#include <array>
#include <fstream>
#include <new>

#include "FinestTimebases.h"
#include "MidiFileError.h"
#include "MidiSong.h"
#include "StandardMidiFileReader.h"
#include "core/Compiler.h"
#include "core/FileIO.h"
#include "core/Loader.h"
#include "core/ShowMessage.h"

namespace rolvik {
namespace {

void ShowError(std::string_view text) {
    ShowMessage(text, "Error", MessageIcon::Error);
}

}  // namespace

std::unique_ptr<Smaf> ImportStandardMidiFile(const std::filesystem::path& path) {
    ReadFailure failure{};
    const std::optional<ByteVector> file = ReadWholeFile(path, failure);
    if (!file) {
        const ReadFailureTexts texts = {"Can't open " + path.string(), "Can't alloc memory",
                                        "Can't open " + path.string(), TooLargeToReadText()};
        ShowError(texts[static_cast<std::size_t>(failure)]);
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

std::unique_ptr<Smaf> ImportCompiledMidiFile(const std::filesystem::path& path) {
    std::unique_ptr<Smaf> smaf = ImportStandardMidiFile(path);
    if (!smaf) {
        return nullptr;
    }
    std::optional<ByteVector> compiled = CompileSMAF(*smaf);
    if (!compiled) {
        ShowMessage("SMAF compile failed", "CompileSMAF Error", MessageIcon::Error);
        return nullptr;
    }
    smaf->fileData = std::move(*compiled);
    LoadSmaf(*smaf);
    return smaf;
}

bool IsStandardMidiFile(const std::filesystem::path& path) {
    constexpr std::string_view kHeaderId = "MThd";
    std::array<char, 4> id{};
    std::ifstream file(path, std::ios::binary);
    return file.read(id.data(), id.size()) && std::string_view(id.data(), id.size()) == kHeaderId;
}

}  // namespace rolvik
