#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace rolvik {

// Where the engine library is looked for: the files to try in order, and the name that the "not
// found" message gives.
struct EngineLocation {
    std::vector<std::string> candidates;
    std::string shownName;
};

// A non-empty override (the ROLVIK_ENGINE variable, a path) is the only candidate. Otherwise the
// library beside the executable comes first and the system's search for the plain file name second.
EngineLocation LocateEngine(const char* overridePath,
                            const std::filesystem::path& executableFolder);

// The folder of the running executable; empty when the system does not tell.
std::filesystem::path ExecutableFolder();

}  // namespace rolvik
