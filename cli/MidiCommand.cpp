#include <memory>
#include <string>

#include "Commands.h"
#include "core/FileIO.h"
#include "core/ShowMessage.h"
#include "export/MidiExport.h"
#include "import/OpenSong.h"

namespace rolvik::cli {
namespace {

struct MidiArguments {
    std::string input;
    std::string output;
    bool generalMidi = false;
    bool loopMarkers = false;
};

int RunMidi(const MidiArguments& arguments) {
    std::unique_ptr<Smaf> smaf = OpenSong(arguments.input).smaf;
    if (!smaf) {
        return kExitFailure;
    }
    const ByteVector midi = ExportMidi(
        *smaf, {.generalMidi = arguments.generalMidi, .loopMarkers = arguments.loopMarkers});
    std::string error;
    if (!WriteFileAtomically(arguments.output, midi, error)) {
        ShowMessage(error, "Error", MessageIcon::Error);
        return kExitFailure;
    }
    return kExitSuccess;
}

}  // namespace

void AddMidiCommand(CLI::App& app, CommandRun& run) {
    auto arguments = std::make_shared<MidiArguments>();
    CLI::App* command =
        app.add_subcommand("midi", "Export the event list of a SMAF file as a Standard MIDI File");
    command->add_option("IN", arguments->input, "SMAF or Standard MIDI file to open")->required();
    command->add_option("OUT", arguments->output, "MIDI file to write (.mid)")->required();
    command->add_flag("--gm", arguments->generalMidi,
                      "Map for General MIDI players: drums on channel 10 (HandyPhone rhythm "
                      "channels too), melodies off it, no chip bank selects or chip exclusives");
    command->add_flag("--loop-markers", arguments->loopMarkers,
                      "Mark the song's loop with the markers loopStart and loopEnd");
    command->callback([&run, arguments] { run = [arguments] { return RunMidi(*arguments); }; });
}

}  // namespace rolvik::cli
