#include <memory>
#include <string>

#include "Commands.h"
#include "WriteCompiledSmaf.h"
#include "import/OpenSong.h"

namespace rolvik::cli {
namespace {

int RunImport(const std::string& input, const std::string& output) {
    std::unique_ptr<Smaf> smaf = OpenSong(input).smaf;
    if (!smaf) {
        return kExitFailure;
    }
    return WriteCompiledSmaf(*smaf, output);
}

}  // namespace

void AddImportCommand(CLI::App& app, CommandRun& run) {
    auto input = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand(
        "import", "Import a Standard MIDI File and compile it into a new SMAF file");
    command->add_option("IN", *input, "Standard MIDI file to import (or a SMAF file to compile)")
        ->required();
    command->add_option("OUT", *output, "SMAF file to write")->required();
    command->callback(
        [&run, input, output] { run = [input, output] { return RunImport(*input, *output); }; });
}

}  // namespace rolvik::cli
