#include <memory>
#include <string>

#include "Commands.h"
#include "WriteCompiledSmaf.h"
#include "import/OpenSong.h"

namespace rolvik::cli {
namespace {

int RunCompile(const std::string& input, const std::string& output) {
    std::unique_ptr<Smaf> smaf = OpenSong(input).smaf;
    if (!smaf) {
        return kExitFailure;
    }
    return WriteCompiledSmaf(*smaf, output);
}

}  // namespace

void AddCompileCommand(CLI::App& app, CommandRun& run) {
    auto input = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>();
    CLI::App* command =
        app.add_subcommand("compile", "Compile the event list of a SMAF file into a new SMAF file");
    command->add_option("IN", *input, "SMAF or Standard MIDI file to open")->required();
    command->add_option("OUT", *output, "SMAF file to write")->required();
    command->callback(
        [&run, input, output] { run = [input, output] { return RunCompile(*input, *output); }; });
}

}  // namespace rolvik::cli
