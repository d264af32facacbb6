#include <memory>
#include <string>

#include "Commands.h"
#include "WriteCompiledSmaf.h"
#include "import/OpenSong.h"

namespace rolvik::cli {
namespace {

struct CompileCommandText {
    const char* name;
    const char* description;
    const char* input;
};

// One command under two names: people who come with a MIDI file look for "import".
constexpr CompileCommandText kCompileCommands[] = {
    {"compile", "Compile the event list of a SMAF file into a new SMAF file",
     "SMAF or Standard MIDI file to open"},
    {"import", "Import a Standard MIDI File and compile it into a new SMAF file",
     "Standard MIDI file to import (or a SMAF file to compile)"},
};

int RunCompile(const std::string& input, const std::string& output) {
    std::unique_ptr<Smaf> smaf = OpenSong(input).smaf;
    if (!smaf) {
        return kExitFailure;
    }
    return WriteCompiledSmaf(*smaf, output);
}

void AddCompileCommand(CLI::App& app, CommandRun& run, const CompileCommandText& text) {
    auto input = std::make_shared<std::string>();
    auto output = std::make_shared<std::string>();
    CLI::App* command = app.add_subcommand(text.name, text.description);
    command->add_option("IN", *input, text.input)->required();
    command->add_option("OUT", *output, "SMAF file to write")->required();
    command->callback(
        [&run, input, output] { run = [input, output] { return RunCompile(*input, *output); }; });
}

}  // namespace

void AddCompileCommands(CLI::App& app, CommandRun& run) {
    for (const CompileCommandText& text : kCompileCommands) {
        AddCompileCommand(app, run, text);
    }
}

}  // namespace rolvik::cli
