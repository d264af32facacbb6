#pragma once

#include <functional>
#include <string>

#include "ConvertFormat.h"
#include "ConvertPlan.h"
#include "SongAudio.h"

namespace rolvik {

// How every file of a conversion is converted.
struct ConvertSettings {
    ConvertFormat format = ConvertFormat::Wav;
    AudioSettings audio;  // its format is taken from `format`
    bool generalMidi = false;
    bool overwrite = false;
};

enum class FileOutcome { Converted, Failed, Stopped };

struct FileResult {
    FileOutcome outcome = FileOutcome::Converted;
    std::string reason;  // for a failure: the error message, "Caption: text"
};

// Tells whether to go on; false abandons the file with nothing written.
using KeepGoing = std::function<bool()>;

// Converts one file as the single-file command would, and writes the output atomically. Messages
// go to no handler but the result: a failure carries the error message the command would print.
FileResult ConvertFile(const ConvertItem& item, const ConvertSettings& settings,
                       const KeepGoing& keepGoing);

}  // namespace rolvik
