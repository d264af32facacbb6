#include <iostream>

#include "CommandMessages.h"
#include "Commands.h"
#include "OptionValues.h"
#include "StandardOutput.h"

namespace {

// Whether the command plays with the engine's sequencer (EmuPlay), where advice to use EmuPlay is
// none: render and convert, and play unless it asks for MidiPlay.
bool PlaysWithEmuPlay(const CLI::App& app) {
    if (app.got_subcommand("render") || app.got_subcommand("convert")) {
        return true;
    }
    const CLI::App* play = app.get_subcommand("play");
    if (!app.got_subcommand(play)) {
        return false;
    }
    const bool asksForMidi = play->count("--mode") > 0
                                 ? play->get_option("--mode")->as<std::string>() == "midi"
                                 : play->count("--track") > 0;
    return !asksForMidi;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace rolvik::cli;
    CLI::App app{"Rolvik: view, play, edit and compile SMAF (.mmf) files"};
    app.formatter(PlainValueFormatter());
    app.set_version_flag("--version", "rolvik-cli " ROLVIK_VERSION);
    app.require_subcommand(1);
    CommandRun run;
    AddEventsCommand(app, run);
    AddCompileCommands(app, run);
    AddReportCommand(app, run);
    AddMidiCommand(app, run);
    AddPlayCommand(app, run);
    AddRenderCommand(app, run);
    AddConvertCommand(app, run);
    AddEncodeCommand(app, run);
    int code = kExitSuccess;
    try {
        app.parse(argc, argv);
        const rolvik::ScopedMessageHandler messages(
            CommandMessagePrinter(std::cerr, PlaysWithEmuPlay(app)));
        code = run();
    } catch (const CLI::ParseError& error) {
        code = app.exit(error) == 0 ? kExitSuccess : kExitUsage;
    }
    // Output that could not be written is a failure of every command, whatever it returned.
    if (!FlushStandardOutput() && code == kExitSuccess) {
        return kExitFailure;
    }
    return code;
}
