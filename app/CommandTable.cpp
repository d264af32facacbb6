#include "CommandTable.h"

#include <array>

namespace rolvik {
namespace {

constexpr QKeyCombination kNone{};

constexpr std::array kCommands = {
    CommandEntry{CommandId::New, MenuName::File, "&New\tCtrl-N", Qt::CTRL | Qt::Key_N, 0, false},
    CommandEntry{CommandId::LoadSmaf, MenuName::File, "&Load SMAF\tCtrl-O", Qt::CTRL | Qt::Key_O, 1,
                 false},
    CommandEntry{CommandId::Close, MenuName::File, "&Close\tCtrl-W", Qt::CTRL | Qt::Key_W, 4,
                 false},
    CommandEntry{CommandId::Compile, MenuName::File, "C&ompile SMAF to memory\tCtrl-M",
                 Qt::CTRL | Qt::Key_M, 2, false},
    CommandEntry{CommandId::Save, MenuName::File, "&Save memory SMAF\tCtrl-S", Qt::CTRL | Qt::Key_S,
                 3, false},
    CommandEntry{CommandId::Exit, MenuName::File, "&Exit\tAlt-X", Qt::ALT | Qt::Key_X,
                 kNoToolbarImage, true},
    CommandEntry{CommandId::EmuPlay, MenuName::Music, "&EmuPlay\tF5", QKeyCombination(Qt::Key_F5),
                 5, false},
    CommandEntry{CommandId::MidiPlay, MenuName::Music, "&MidiPlay\tF6", QKeyCombination(Qt::Key_F6),
                 6, false},
    CommandEntry{CommandId::Stop, MenuName::Music, "&Stop\tF7", QKeyCombination(Qt::Key_F7), 7,
                 false},
    CommandEntry{CommandId::Rewind, MenuName::Music, "&Rewind\tF8", QKeyCombination(Qt::Key_F8), 8,
                 false},
    CommandEntry{CommandId::MidiReset, MenuName::Music, "M&idiReset\tF9",
                 QKeyCombination(Qt::Key_F9), 9, false},
    CommandEntry{CommandId::ShowDetail, MenuName::Window, "&Show detail...", Qt::CTRL | Qt::Key_D,
                 10, false},
    CommandEntry{CommandId::HelpIndex, MenuName::Help, "&Index\tF1", QKeyCombination(Qt::Key_F1),
                 11, false},
    CommandEntry{CommandId::About, MenuName::Help, "&About...", kNone, kNoToolbarImage, true},
};

constexpr CommandId kNew = CommandId::New, kLoad = CommandId::LoadSmaf,
                    kCompile = CommandId::Compile, kSave = CommandId::Save,
                    kClose = CommandId::Close, kEmuPlay = CommandId::EmuPlay,
                    kMidiPlay = CommandId::MidiPlay, kStop = CommandId::Stop,
                    kRewind = CommandId::Rewind, kMidiReset = CommandId::MidiReset,
                    kShowDetail = CommandId::ShowDetail, kHelp = CommandId::HelpIndex;

constexpr std::array<const CommandId*, 15> kToolbar = {
    &kNew,  &kLoad,   &kCompile,   &kSave,  &kClose,      nullptr, &kEmuPlay, &kMidiPlay,
    &kStop, &kRewind, &kMidiReset, nullptr, &kShowDetail, nullptr, &kHelp};

}  // namespace

std::span<const CommandEntry> CommandTable() {
    return kCommands;
}

std::span<const CommandId* const> ToolbarLayout() {
    return kToolbar;
}

int TrackOfCommand(CommandId id) {
    if (id == CommandId::Track1) {
        return 0;
    }
    if (id == CommandId::AllTracks) {
        return -1;
    }
    return static_cast<int>(id) - static_cast<int>(CommandId::Track2) + 1;
}

CommandId CommandOfTrack(int track) {
    if (track < 0) {
        return CommandId::AllTracks;
    }
    if (track == 0) {
        return CommandId::Track1;
    }
    return static_cast<CommandId>(static_cast<int>(CommandId::Track2) + track - 1);
}

}  // namespace rolvik
