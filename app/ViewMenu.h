#pragma once

#include <QKeyCombination>
#include <span>
#include <string_view>

#include "CommandTable.h"

class QMenu;

namespace rolvik {

// A command that is a View menu item, or only a key when `text` is empty.
struct ViewCommand {
    CommandId id;
    std::string_view text;
    QKeyCombination shortcut;
    bool checkable;
};

// The items that follow the track grid in the View menu, after a separator, in menu order: the
// key rows taller and shorter and fitted to the window, the whole song in the window, and whether
// the view follows playback.
std::span<const ViewCommand> ViewMenuItems();

// Keys without a menu item: Space plays or stops, Home and End go to the song's start and end.
std::span<const ViewCommand> FindingKeys();

}  // namespace rolvik
