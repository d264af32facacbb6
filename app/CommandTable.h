#pragma once

#include <QKeySequence>
#include <optional>
#include <span>
#include <string_view>

namespace rolvik {

// The identifiers of the main window's commands. They are what the menus, the shortcuts and the
// toolbar buttons share.
enum class CommandId {
    Exit = 40001,
    LoadSmaf = 40002,
    About = 40003,
    HelpIndex = 40004,
    EmuPlay = 40005,
    Stop = 40006,
    Close = 40007,
    Rewind = 40010,
    ShowDetail = 40011,
    Track1 = 40013,
    AllTracks = 40014,
    Track2 = 40015,  // Track2 to Track16 are 40015 to 40029 in order
    Track16 = 40029,
    MidiPlay = 40033,
    MidiReset = 40035,
    Compile = 40036,
    Save = 40037,
    New = 40038,
    Undo = 40039,  // the Edit menu's, built apart from the table
    Redo = 40040,
    Repeat = 40041,
    NewFromRecording = 40042,
    Export = 40043,
    ConvertFolder = 40044,
    // The View menu's zooms and following, and the keys that find a place in the song; built apart
    // from the table.
    TallerKeys = 40060,
    ShorterKeys = 40061,
    FitKeys = 40062,
    ZoomToFit = 40063,
    FollowPlayback = 40064,
    PlayOrStop = 40065,
    GoToSongStart = 40066,
    GoToSongEnd = 40067,
};

enum class MenuName { File, Music, Window, Help };

inline constexpr int kNoToolbarImage = -1;

// One command as the user reaches it: menu, text with its mnemonic and, after the tab, the shortcut
// text; the shortcut itself; the image of its toolbar button, or none.
struct CommandEntry {
    CommandId id;
    MenuName menu;
    std::string_view text;
    QKeyCombination shortcut;
    int toolbarImage;
    bool separatorBefore;
};

// Every command of the File, Music, Window and Help menus, in menu order.
std::span<const CommandEntry> CommandTable();

// The toolbar, left to right; an empty entry is a separator.
std::span<const std::optional<CommandId>> ToolbarLayout();

// Whether the command acts on the open song, so that it is greyed while none is open.
bool NeedsDocument(CommandId id);

// The View menu's track commands map to the piano roll's visible track: -1 for All, else 0..15.
int TrackOfCommand(CommandId id);

// The key of a track command, as its menu item shows it and as it is typed: '1' to '8' for the
// tracks 0 to 7, 'Q', 'W', 'E', 'R', 'T', 'Y', 'U', 'I' for 8 to 15, and '0' for All.
char TrackKey(int track);
std::optional<int> TrackOfKey(char key);

}  // namespace rolvik
