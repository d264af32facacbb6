#include "ConvertFile.h"

#include <memory>
#include <optional>
#include <sstream>

#include "SongSource.h"
#include "SongTags.h"
#include "core/Compiler.h"
#include "core/FileIO.h"
#include "core/ShowMessage.h"
#include "export/MidiExport.h"
#include "report/DetailReport.h"
#include "report/ReportJson.h"
#include "import/OpenSong.h"

namespace rolvik {
namespace {

bool WriteAudio(const ConvertItem& item, const ConvertSettings& settings,
                const KeepGoing& keepGoing) {
    const std::optional<SongSource> source = ReadSongSource(item.input);
    if (!source) {
        return false;
    }
    AudioSettings audio = settings.audio;
    audio.format = *AudioFormatOf(settings.format);
    std::string error;
    const bool written = WriteSongAudio(
        *source->song, audio, SongTags(source->smafFile),
        [&keepGoing](double) { return keepGoing(); }, item.output, error);
    if (!written && !error.empty()) {
        ShowMessage(error, "Error", MessageIcon::Error);
    }
    return written;
}

std::optional<ByteVector> DocumentOutput(const Smaf& smaf, const ConvertSettings& settings) {
    switch (settings.format) {
        case ConvertFormat::Mid:
            return ExportMidi(smaf, {.generalMidi = settings.generalMidi});
        case ConvertFormat::Mmf: {
            std::optional<ByteVector> compiled = CompileSMAF(smaf);
            if (!compiled) {
                ShowMessage("SMAF compile failed", "CompileSMAF Error", MessageIcon::Error);
            }
            return compiled;
        }
        default: {
            std::ostringstream json;
            WriteReportAsJson(json, BuildDetailReport(&smaf, 0));
            const std::string text = json.str();
            return ByteVector(text.begin(), text.end());
        }
    }
}

bool WriteDocumentOutput(const ConvertItem& item, const ConvertSettings& settings) {
    const std::unique_ptr<Smaf> smaf = OpenSong(item.input).smaf;
    if (!smaf) {
        return false;
    }
    const std::optional<ByteVector> bytes = DocumentOutput(*smaf, settings);
    std::string error;
    if (bytes && !WriteFileAtomically(item.output, *bytes, error)) {
        ShowMessage(error, "Error", MessageIcon::Error);
        return false;
    }
    return bytes.has_value();
}

}  // namespace

FileResult ConvertFile(const ConvertItem& item, const ConvertSettings& settings,
                       const KeepGoing& keepGoing) {
    std::string firstError;
    const ScopedThreadMessageHandler messages(
        [&firstError](std::string_view text, std::string_view caption, MessageIcon icon) {
            if (icon == MessageIcon::Error && firstError.empty()) {
                firstError = std::string(caption) + ": " + std::string(text);
            }
        });
    std::error_code ignored;
    if (!settings.overwrite && std::filesystem::exists(item.output, ignored)) {
        return {FileOutcome::Failed,
                "Error: " + item.output.string() + " exists already; --overwrite replaces it"};
    }
    try {
        std::error_code ignoredError;
        std::filesystem::create_directories(item.output.parent_path(), ignoredError);
        const bool written = AudioFormatOf(settings.format) ? WriteAudio(item, settings, keepGoing)
                                                            : WriteDocumentOutput(item, settings);
        if (!keepGoing() && !written) {
            return {FileOutcome::Stopped, {}};
        }
        if (written) {
            return {FileOutcome::Converted, {}};
        }
    } catch (const std::bad_alloc&) {
        return {FileOutcome::Failed, "Error: not enough memory"};
    }
    return {FileOutcome::Failed, firstError.empty() ? "Error: cannot convert" : firstError};
}

}  // namespace rolvik
