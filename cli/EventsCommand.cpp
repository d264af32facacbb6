#include <cstdio>
#include <memory>
#include <string>

#include "Commands.h"
#include "import/OpenSong.h"
#include "report/EventLine.h"

namespace rolvik::cli {
namespace {

// The same line the detail report shows for the event: prefix, data bytes and decode.
void PrintEventLine(std::size_t index, const Event& event) {
    const std::string line = FormatEventLine(index, event);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
}

int RunEvents(const std::string& path) {
    std::unique_ptr<Smaf> smaf = OpenSong(path).smaf;
    if (!smaf) {
        return kExitFailure;
    }
    std::size_t index = 0;
    for (const Event* event = smaf->events.get(); event; event = event->next.get()) {
        PrintEventLine(index++, *event);
    }
    return kExitSuccess;
}

}  // namespace

void AddEventsCommand(CLI::App& app, CommandRun& run) {
    auto path = std::make_shared<std::string>();
    CLI::App* command =
        app.add_subcommand("events", "Print the event list of a SMAF file, one line an event");
    command->add_option("FILE", *path, "SMAF or Standard MIDI file to open")->required();
    command->callback([&run, path] { run = [path] { return RunEvents(*path); }; });
}

}  // namespace rolvik::cli
