#pragma once

#include <QMenu>
#include <QString>
#include <memory>

#include "playback/VoiceSet.h"

namespace rolvik {

inline constexpr int kInstrumentCount = 128;
inline constexpr int kInstrumentsPerSubmenu = 16;
// Items carry 100 + the instrument number, so that any value above 99 is a choice.
inline constexpr int kInstrumentCommandBase = 100;

// The name the menu gives an instrument: the voice table's entry while there is one, else the
// General MIDI name of the program, so that the menu always lists 128 instruments.
QString InstrumentName(const VoiceSet& voices, int instrument);

// The pop-up menu of 8 sub-menus of 16 instruments each, the current one (and its sub-menu)
// checked. Every item's data is its command value.
std::unique_ptr<QMenu> BuildInstrumentMenu(const VoiceSet& voices, int currentInstrument);

}  // namespace rolvik
