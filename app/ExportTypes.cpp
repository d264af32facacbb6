#include "ExportTypes.h"

#include <QFileInfo>
#include <array>

namespace rolvik {
namespace {

constexpr std::array<ExportType, 8> kTypes = {{
    {"WAV (*.wav)", ConvertFormat::Wav, false},
    {"FLAC (*.flac)", ConvertFormat::Flac, false},
    {"Ogg Vorbis (*.ogg)", ConvertFormat::Ogg, false},
    {"Opus (*.opus)", ConvertFormat::Opus, false},
    {"MP3 (*.mp3)", ConvertFormat::Mp3, false},
    {"Standard MIDI file (*.mid)", ConvertFormat::Mid, false},
    {"Standard MIDI file for General MIDI players (*.mid)", ConvertFormat::Mid, true},
    {"Report as JSON (*.json)", ConvertFormat::Json, false},
}};

QString ExtensionOf(const ExportType& type) {
    const std::string_view extension = ConvertFormatExtension(type.format);
    return QString::fromLatin1(extension.data(), static_cast<qsizetype>(extension.size()));
}

}  // namespace

std::span<const ExportType> ExportTypes() {
    return kTypes;
}

QString ExportFilters() {
    QStringList filters;
    for (const ExportType& type : kTypes) {
        filters << QString::fromLatin1(type.filter);
    }
    return filters.join(QStringLiteral(";;"));
}

std::optional<ExportType> ExportTypeFor(QString& path, const QString& chosenFilter) {
    const ExportType* chosen = &kTypes.front();
    for (const ExportType& type : kTypes) {
        if (chosenFilter == QString::fromLatin1(type.filter)) {
            chosen = &type;
        }
    }
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix.isEmpty()) {
        path += ExtensionOf(*chosen);
        return *chosen;
    }
    if (QStringLiteral(".") + suffix == ExtensionOf(*chosen)) {
        return *chosen;
    }
    for (const ExportType& type : kTypes) {
        if (QStringLiteral(".") + suffix == ExtensionOf(type)) {
            return type;
        }
    }
    return std::nullopt;
}

}  // namespace rolvik
