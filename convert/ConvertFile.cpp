#include "ConvertFile.h"

#include <memory>
#include <optional>
#include <sstream>

#include "OpenSong.h"
#include "SongSource.h"
#include "SongTags.h"
#include "core/Compiler.h"
#include "core/FileIO.h"
#include "core/ShowMessage.h"
#include "export/MidiExport.h"
#include "report/DetailReport.h"
#include "report/ReportJson.h"

namespace rolvik {
namespace {

std::optional<ByteVector> RenderedAudio(const ConvertItem& item, const ConvertSettings& settings,
                                        const KeepGoing& keepGoing) {
    const std::optional<SongSource> source = ReadSongSource(item.input);
    if (!source) {
        return std::nullopt;
    }
    AudioSettings audio = settings.audio;
    audio.format = *AudioFormatOf(settings.format);
    std::string error;
    std::optional<ByteVector> bytes = RenderSongAudio(
        *source->song, audio, SongTags(source->smafFile),
        [&keepGoing](double) { return keepGoing(); }, error);
    if (!bytes && !error.empty()) {
        ShowMessage("Can't write " + item.output.string() + ": " + error, "Error",
                    MessageIcon::Error);
    }
    return bytes;
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

std::optional<ByteVector> Output(const ConvertItem& item, const ConvertSettings& settings,
                                 const KeepGoing& keepGoing) {
    if (AudioFormatOf(settings.format)) {
        return RenderedAudio(item, settings, keepGoing);
    }
    const std::unique_ptr<Smaf> smaf = OpenSong(item.input);
    if (!smaf) {
        return std::nullopt;
    }
    return DocumentOutput(*smaf, settings);
}

bool Write(const ConvertItem& item, const ByteVector& bytes) {
    std::error_code error;
    std::filesystem::create_directories(item.output.parent_path(), error);
    std::string failure;
    if (!WriteFileAtomically(item.output, bytes, failure)) {
        ShowMessage(failure, "Error", MessageIcon::Error);
        return false;
    }
    return true;
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
        const std::optional<ByteVector> bytes = Output(item, settings, keepGoing);
        if (!keepGoing()) {
            return {FileOutcome::Stopped, {}};
        }
        if (bytes && Write(item, *bytes)) {
            return {FileOutcome::Converted, {}};
        }
    } catch (const std::bad_alloc&) {
        return {FileOutcome::Failed, "Error: not enough memory"};
    }
    return {FileOutcome::Failed, firstError.empty() ? "Error: cannot convert" : firstError};
}

}  // namespace rolvik
