#pragma once

#include <cstdint>

#include "DetailReport.h"
#include "core/Smaf.h"

namespace rolvik {

// Appends the heading and one line per event of the document's list, made when read, and marks the
// first event whose time is at or after `playPositionMs`.
void AppendEventListSection(DetailReport& report, const Smaf& document,
                            std::uint32_t playPositionMs);

}  // namespace rolvik
