#pragma once

#include "DetailReport.h"
#include "core/Bytes.h"

namespace rolvik {

// The lines on a "CNTI" body: class, type, code, copy status and count, then its optional text
// when the body holds more than those five bytes. Fields a short body lacks are not shown.
void AppendContentsInfo(DetailReport& report, Bytes contentsInfoBody);

// The lines on an "OPDA" body: "OPDA found." and, when it holds a "Dch" chunk, one line per item.
void AppendOptionalData(DetailReport& report, Bytes optionalDataBody);

}  // namespace rolvik
