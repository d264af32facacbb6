#include <memory>
#include <string>

#include "Commands.h"
#include "core/Compiler.h"
#include "core/FileIO.h"
#include "core/ShowMessage.h"
#include "import/MidiImport.h"

namespace rolvik::cli {
namespace {

int RunImport(const std::string& input, const std::string& output) {
    std::unique_ptr<Smaf> smaf = ImportStandardMidiFile(input);
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

void AddImportCommand(CLI::App& app, CommandRun& run) {
    auto input = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand(
        "import", "Import a Standard MIDI File and compile it into a new SMAF file");
    command->add_option("IN", *input, "MIDI file to import (.mid)")->required();
    command->add_option("OUT", *output, "SMAF file to write")->required();
    command->callback(
        [&run, input, output] { run = [input, output] { return RunImport(*input, *output); }; });
}

}  // namespace rolvik::cli
