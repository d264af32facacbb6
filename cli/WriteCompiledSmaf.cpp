#include "WriteCompiledSmaf.h"

#include <optional>

#include "Commands.h"
#include "core/Compiler.h"
#include "core/FileIO.h"
#include "core/ShowMessage.h"

namespace rolvik::cli {

int WriteCompiledSmaf(const Smaf& smaf, const std::string& output) {
    const std::optional<ByteVector> compiled = CompileSMAF(smaf);
    if (!compiled) {
        ShowMessage("SMAF compile failed", "CompileSMAF Error", MessageIcon::Error);
        return kExitFailure;
    }
    std::string error;
    if (!WriteFileAtomically(output, *compiled, error)) {
        ShowMessage(error, "Error", MessageIcon::Error);
        return kExitFailure;
    }
    return kExitSuccess;
}

}  // namespace rolvik::cli
