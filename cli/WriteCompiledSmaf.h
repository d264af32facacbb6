#pragma once

#include <string>

#include "core/Smaf.h"

namespace rolvik::cli {

// Compiles the document and writes the SMAF file atomically; an exit code, with the compiler's or
// the file system's message on failure.
int WriteCompiledSmaf(const Smaf& smaf, const std::string& output);

}  // namespace rolvik::cli
