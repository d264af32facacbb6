#pragma once

#include <QImage>
#include <cstdint>
#include <optional>

#include "core/Smaf.h"

namespace rolvik {

// What a snapshot shows. Unset values take the settings' defaults (scale and row height) or, for
// the vertical scroll, centre the song's notes.
struct SnapshotRequest {
    int width = 1024;
    int height = 768;
    std::optional<int> rowHeight;
    std::optional<int> widthDivider;
    int scrollX = 0;
    std::optional<int> scrollY;
    int visibleTrack = -1;  // -1 all tracks, 0..15 one channel
    std::uint32_t positionMs = 0;
};

// The vertical scroll position that puts the middle of the notes' key range in the middle of the
// roll (the whole keyboard when there are no notes).
int CentredScrollY(const Smaf* document, int visibleTrack, int rowHeight, int height);

// Draws the piano roll, or the detail view, of the document through the real widgets, so that their
// scroll bars clamp the positions and the setting drawFunction picks the drawing path.
QImage RenderPianoRollSnapshot(Smaf* document, const SnapshotRequest& request);
QImage RenderDetailSnapshot(Smaf* document, const SnapshotRequest& request);

}  // namespace rolvik
