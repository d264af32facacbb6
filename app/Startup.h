#pragma once

namespace rolvik {

// The program: settings, engine session, main window and hidden detail window, the event loop, and
// the engine released again with the session. `rolvik FILE` opens FILE at start. Returns the exit
// code; a start-up that fails ends with 0, as a quit does.
int RunRolvik(int argc, char** argv);

}  // namespace rolvik
