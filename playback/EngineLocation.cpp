#include "EngineLocation.h"

#include <system_error>

#include "synth/EmulatorInterface.h"

namespace rolvik {

EngineLocation LocateEngine(const char* overridePath,
                            const std::filesystem::path& executableFolder) {
    if (overridePath && *overridePath) {
        return {{overridePath}, overridePath};
    }
    EngineLocation location;
    if (!executableFolder.empty()) {
        location.candidates.push_back(executableFolder / ROLVIK_ENGINE_FILE_NAME);
    }
    location.candidates.push_back(ROLVIK_ENGINE_FILE_NAME);
    location.shownName = ROLVIK_ENGINE_FILE_NAME;
    return location;
}

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : executable.parent_path();
}

}  // namespace rolvik
