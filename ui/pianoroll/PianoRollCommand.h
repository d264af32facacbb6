#pragma once

namespace rolvik {

// The operations the shell asks of the piano roll through PianoRoll::Command. The numbers are part
// of the interface: the keyboard entry and the shell send them by code.
enum class PianoRollCommand {
    MoveView = 0,
    SetWidthDivider = 1,
    SetRowHeight = 2,
    SetVisibleTrack = 3,
    GetWidthDivider = 4,
    GetRowHeight = 5,
    GetVisibleTrack = 6,
    GetViewStartTime = 7,
    SetDocument = 8,
    SetPlayPosition = 9,
    SetStatusText = 10,
    GetStatusText = 11,
    SetEditLock = 12,
    LoadDefaults = 13,
    SetSelectedNote = 14,
};

// What the piano roll asks of its parent through the Request signal.
enum class PianoRollRequest {
    SeekRequest = 0,
    SoundNoteRequest = 1,
    DoubleClickNotice = 2,
    StopNoteRequest = 4,
    MiddleClickNotice = 5,
};

}  // namespace rolvik
