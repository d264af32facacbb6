#pragma once

#include <cstddef>
#include <string>

#include "ReportLine.h"
#include "core/Event.h"

namespace rolvik {

// The line that lists one event: "<index> timems SS(len): data bytes... > decode", where the decode
// names notes, control changes, NOP and EOS. At most the first 256 data bytes are shown; the length
// in the prefix is always the full one.
std::string FormatEventLine(std::size_t index, const Event& event);

// Channel for notes, control and program changes; Faint for system events whose first data byte is
// 0 (NOP); Dim for everything else.
ReportLine MakeEventLine(std::size_t index, const Event& event);

}  // namespace rolvik
