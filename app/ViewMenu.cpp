#include "ViewMenu.h"

#include <array>

namespace rolvik {
namespace {

constexpr QKeyCombination kNone{};

constexpr std::array kViewMenuItems = {
    ViewCommand{CommandId::TallerKeys, "Taller Keys\tCtrl-Up", Qt::CTRL | Qt::Key_Up, false},
    ViewCommand{CommandId::ShorterKeys, "Shorter Keys\tCtrl-Down", Qt::CTRL | Qt::Key_Down, false},
    ViewCommand{CommandId::FitKeys, "Fit Keys to Window", kNone, false},
    ViewCommand{CommandId::ZoomToFit, "Zoom to Fit\tCtrl-0", Qt::CTRL | Qt::Key_0, false},
    ViewCommand{CommandId::FollowPlayback, "Follow Playback", kNone, true},
};

constexpr std::array kFindingKeys = {
    ViewCommand{CommandId::PlayOrStop, "", QKeyCombination(Qt::Key_Space), false},
    ViewCommand{CommandId::GoToSongStart, "", QKeyCombination(Qt::Key_Home), false},
    ViewCommand{CommandId::GoToSongEnd, "", QKeyCombination(Qt::Key_End), false},
};

}  // namespace

std::span<const ViewCommand> ViewMenuItems() {
    return kViewMenuItems;
}

std::span<const ViewCommand> FindingKeys() {
    return kFindingKeys;
}

}  // namespace rolvik
