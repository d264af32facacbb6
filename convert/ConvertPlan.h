#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ConvertFormat.h"

namespace rolvik {

// One file to convert and where its output goes.
struct ConvertItem {
    std::filesystem::path input;
    std::filesystem::path output;
};

// A file that could not be converted, with the reason.
struct ConvertFailure {
    std::filesystem::path input;
    std::string reason;
};

// The files of a conversion, in a fixed order: the inputs as given, a folder's files sorted by
// path. Files that fail before any work (two inputs that would make one output, an output that
// would replace its input) are failures from the start.
struct ConvertPlan {
    std::vector<ConvertItem> items;
    std::vector<ConvertFailure> failures;
    std::size_t skipped = 0;  // files inside folders that are neither SMAF nor Standard MIDI
};

// Files named are taken whatever they hold (their conversion then says what is wrong); folders are
// walked recursively for the files whose content is SMAF or a Standard MIDI file. The output lies
// under `outDir` (or beside the input) at the input's path relative to the folder given, with the
// format's extension in place of the input's.
ConvertPlan PlanConversion(const std::vector<std::filesystem::path>& inputs, ConvertFormat format,
                           const std::optional<std::filesystem::path>& outDir);

// Whether a file begins as a SMAF file ("MMMD") or a Standard MIDI file ("MThd") does.
bool HoldsSong(const std::filesystem::path& path);

}  // namespace rolvik
