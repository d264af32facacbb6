#pragma once

#include <ostream>

#include "core/ShowMessage.h"

namespace rolvik::cli {

// How rolvik-cli writes the messages of one command to `out`: "Caption: text", with the caption
// once even where the text begins with it, every line break of the text starting a new line
// indented by two spaces, and a message that comes again within the command left out. A command
// that plays with EmuPlay leaves out the advice to use EmuPlay.
MessageHandler CommandMessagePrinter(std::ostream& out, bool playsWithEmuPlay);

}  // namespace rolvik::cli
