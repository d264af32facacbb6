#include "CommandTable.h"

#include <array>

namespace rolvik {
namespace {

constexpr QKeyCombination kNone{};
constexpr char kTrackKeys[] = "12345678QWERTYUI";
constexpr int kAll = -1;

constexpr std::array kCommands = {
    CommandEntry{CommandId::New, MenuName::File, "&New\tCtrl-N", Qt::CTRL | Qt::Key_N, 0, false},
    CommandEntry{CommandId::NewFromRecording, MenuName::File, "New from &Recording...", kNone,
                 kNoToolbarImage, false},
    CommandEntry{CommandId::LoadSmaf, MenuName::File, "&Load SMAF\tCtrl-O", Qt::CTRL | Qt::Key_O, 1,
                 false},
    CommandEntry{CommandId::Close, MenuName::File, "&Close\tCtrl-W", Qt::CTRL | Qt::Key_W, 4,
                 false},
    CommandEntry{CommandId::Compile, MenuName::File, "C&ompile SMAF to memory\tCtrl-M",
                 Qt::CTRL | Qt::Key_M, 2, false},
    CommandEntry{CommandId::Save, MenuName::File, "&Save memory SMAF\tCtrl-S", Qt::CTRL | Qt::Key_S,
                 3, false},
    CommandEntry{CommandId::Export, MenuName::File, "&Export...\tCtrl-E", Qt::CTRL | Qt::Key_E,
                 kNoToolbarImage, true},
    CommandEntry{CommandId::ConvertFolder, MenuName::File, "Con&vert Folder...", kNone,
                 kNoToolbarImage, false},
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
    CommandEntry{CommandId::Repeat, MenuName::Music, "Re&peat\tCtrl-R", Qt::CTRL | Qt::Key_R,
                 kNoToolbarImage, true},
    CommandEntry{CommandId::ShowDetail, MenuName::Window, "&Show detail...", Qt::CTRL | Qt::Key_D,
                 10, false},
    CommandEntry{CommandId::HelpIndex, MenuName::Help, "&Index\tF1", QKeyCombination(Qt::Key_F1),
                 11, false},
    CommandEntry{CommandId::About, MenuName::Help, "&About...", kNone, kNoToolbarImage, true},
};

constexpr std::optional<CommandId> kSeparator;

constexpr std::array<std::optional<CommandId>, 15> kToolbar = {
    CommandId::New,        CommandId::LoadSmaf, CommandId::Compile,   CommandId::Save,
    CommandId::Close,      kSeparator,          CommandId::EmuPlay,   CommandId::MidiPlay,
    CommandId::Stop,       CommandId::Rewind,   CommandId::MidiReset, kSeparator,
    CommandId::ShowDetail, kSeparator,          CommandId::HelpIndex};

}  // namespace

std::span<const CommandEntry> CommandTable() {
    return kCommands;
}

std::span<const std::optional<CommandId>> ToolbarLayout() {
    return kToolbar;
}

bool NeedsDocument(CommandId id) {
    switch (id) {
        case CommandId::Close:
        case CommandId::Compile:
        case CommandId::Save:
        case CommandId::EmuPlay:
        case CommandId::MidiPlay:
        case CommandId::Stop:
        case CommandId::Rewind:
            return true;
        default:
            return false;
    }
}

int TrackOfCommand(CommandId id) {
    if (id == CommandId::Track1) {
        return 0;
    }
    if (id == CommandId::AllTracks) {
        return kAll;
    }
    return static_cast<int>(id) - static_cast<int>(CommandId::Track2) + 1;
}

char TrackKey(int track) {
    return track == kAll ? '0' : kTrackKeys[track];
}

std::optional<int> TrackOfKey(char key) {
    if (key == '0') {
        return kAll;
    }
    for (int track = 0; track < 16; ++track) {
        if (kTrackKeys[track] == key) {
            return track;
        }
    }
    return std::nullopt;
}

}  // namespace rolvik
