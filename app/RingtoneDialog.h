#pragma once

#include <optional>

#include "convert/RingtoneChoice.h"

class QWidget;

namespace rolvik {

// Asks how long an audio export plays the song: once as written, a number of loops or a length,
// with a fade; it starts from `last`. None when cancelled. The fade is left unset while the user
// has not changed the one shown, so that it follows the choice's default.
std::optional<RingtoneChoice> AskRingtone(QWidget* owner, const RingtoneChoice& last);

}  // namespace rolvik
