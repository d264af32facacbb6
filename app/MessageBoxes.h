#pragma once

#include <QMessageBox>
#include <string_view>

#include "core/ShowMessage.h"

class QWidget;

namespace rolvik {

// The message box a message becomes: modal, owned by the window, with the exact text and
// caption. "What the hell...?" is a plain box; the others carry the icon the message asks for.
void ConfigureMessageBox(QMessageBox& box, std::string_view text, std::string_view caption,
                         MessageIcon icon);

// Shows a Notice (caption "Notice", the information icon) in the main window's notice bar, without
// blocking; every other message, and a Notice while there is no main window, as a modal box owned
// by the main window ("RolvikWC") from the moment its creation begins, before that by no window.
MessageHandler MessageBoxHandler();

}  // namespace rolvik
