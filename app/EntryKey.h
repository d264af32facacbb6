#pragma once

#include <QKeyEvent>

namespace rolvik {

// What a key means to the settings entry, whichever characters the layout gives it with Shift:
// '0'..'9', 'A'..'Z', kEscapeOption, kHelpOption ('/'), '-', '\b' for Backspace and Delete, or 0
// for any other key.
char EntryKeyOf(const QKeyEvent& event);

}  // namespace rolvik
