#include "Commands.h"

int main(int argc, char** argv) {
    using namespace rolvik::cli;
    CLI::App app{"Rolvik: view, play, edit and compile SMAF (.mmf) files"};
    app.require_subcommand(1);
    CommandRun run;
    AddEventsCommand(app, run);
    AddCompileCommand(app, run);
    AddReportCommand(app, run);
    AddMidiCommand(app, run);
    AddImportCommand(app, run);
    AddPlayCommand(app, run);
    AddRenderCommand(app, run);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error);
        return code == 0 ? kExitSuccess : kExitUsage;
    }
    return run();
}
