#pragma once

#include <cstdint>

#include "core/Event.h"
#include "core/Smaf.h"

namespace rolvik {

enum class DragMode { None = 0, PlayCursor = 1, Roll = 2 };

// Everything the piano roll remembers between messages. The document, the status text and the note
// references belong to others; the widget clears the note references before their events go away.
struct PianoRollState {
    int rowHeight = 3;             // pixels per key row, above 0
    int widthDivider = 25;         // ms per pixel, above 0
    int dragPreview = 1;           // sound the key under the mouse while dragging across rows
    int visibleTrack = -1;         // -1 shows every track, 0..15 only that channel
    std::uint32_t cursorTime = 0;  // ms, the play cursor
    Smaf* document = nullptr;
    const char* statusText = nullptr;  // lent by the keyboard entry, drawn at the top-left corner
    int soundingKey = -1;
    Event* selectedNote = nullptr;
    Event* movingNote = nullptr;
    std::int32_t moveOffset = 0;  // ms, the moving note's time minus the mouse time at the press
    Event* resizingNote = nullptr;
    DragMode dragMode = DragMode::None;
    int editLock = 0;  // set while the player owns the compiled bytes: clicks only select
};

}  // namespace rolvik
