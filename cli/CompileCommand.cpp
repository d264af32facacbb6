#include <memory>
#include <string>

#include "Commands.h"
#include "core/Compiler.h"
#include "core/FileIO.h"
#include "core/Loader.h"
#include "core/ShowMessage.h"

namespace rolvik::cli {
namespace {

int RunCompile(const std::string& input, const std::string& output) {
    std::unique_ptr<Smaf> smaf = OpenSmaf(input);
    if (!smaf) {
        return kExitFailure;
    }
    const std::optional<ByteVector> compiled = CompileSMAF(*smaf);
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

}  // namespace

void AddCompileCommand(CLI::App& app, CommandRun& run) {
    auto input = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>();
    CLI::App* command =
        app.add_subcommand("compile", "Compile the event list of a SMAF file into a new SMAF file");
    command->add_option("IN", *input, "SMAF file to open")->required();
    command->add_option("OUT", *output, "SMAF file to write")->required();
    command->callback(
        [&run, input, output] { run = [input, output] { return RunCompile(*input, *output); }; });
}

}  // namespace rolvik::cli
