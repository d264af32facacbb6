#include <iostream>

#include "CommandMessages.h"
#include "Commands.h"
#include "OptionValues.h"
#include "StandardOutput.h"

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
    int code = kExitSuccess;
    try {
        app.parse(argc, argv);
        const rolvik::ScopedMessageHandler messages(CommandMessagePrinter(
            std::cerr, app.got_subcommand("render") || app.got_subcommand("convert")));
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
