#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <span>

#include "convert/ConvertFormat.h"

namespace rolvik {

// One type the Export dialog offers: its filter text, what it writes and the extension it adds.
struct ExportType {
    const char* filter;
    ConvertFormat format;
    bool generalMidi;
};

std::span<const ExportType> ExportTypes();
// The dialog's type list, ";;" between the types.
QString ExportFilters();
// The type a typed name asks for by its extension, else the chosen filter's; none for an
// extension no type has. A name without an extension gets the type's.
std::optional<ExportType> ExportTypeFor(QString& path, const QString& chosenFilter);

}  // namespace rolvik
