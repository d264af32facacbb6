#!/usr/bin/python3
"""Photographs the main window with a song loaded, on a private Xvfb display: the picture at the top
of the README. Run through scripts/screenshot, which builds the program first. With a folder as
fourth argument it also photographs, for looking at, the View menu, the instrument menu (middle
button on the main window's own area) and the About box there.

Usage: main_window.py BIN_DIR SONG OUT.png [MORE_DIR]
"""

import pathlib
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tests" / "support"))
from x11_session import MAIN_WINDOW, STEP_TIMEOUT_S, Window, desktop, spawn, stop

WINDOW_SIZE_PX = (900, 560)
# Long enough for a paint after a resize or a menu's opening on a busy machine.
SETTLE_S = 1.5


def photograph(environment, picture, window="root"):
    """The window, or the part of the screen where the main window lies (menus included)."""
    crop = [] if window != "root" else ["-crop", "{}x{}+0+0".format(*WINDOW_SIZE_PX)]
    time.sleep(SETTLE_S)
    picture.parent.mkdir(parents=True, exist_ok=True)
    subprocess.run(["import", "-window", window, *crop, f"png:{picture}"], check=True,
                   env=environment, timeout=STEP_TIMEOUT_S)
    print(f"wrote {picture}")


def photograph_more(environment, window, folder):
    window.press("alt+v")
    photograph(environment, folder / "view-menu.png")
    window.press("Escape")
    # The menu belongs to the main window's own area: the free end of the toolbar.
    window.xdotool("mousemove", "--window", window.id, "340", "33", "click", "2")
    time.sleep(SETTLE_S)
    window.xdotool("key", "Down", "Right")
    photograph(environment, folder / "instrument-menu.png")
    window.xdotool("key", "Escape", "Escape")
    window.press("alt+h", "a")
    about = Window(environment, r"^About this software\.\.\.$")
    photograph(environment, folder / "about-box.png", about.id)
    about.press("Escape")
    about.wait_closed()


def main():
    bin_dir, song, picture = (pathlib.Path(a).resolve() for a in sys.argv[1:4])
    more = pathlib.Path(sys.argv[4]).resolve() if len(sys.argv) > 4 else None
    with tempfile.TemporaryDirectory(prefix="rolvik-screenshot-") as folder:
        with desktop(folder) as environment:
            environment["ROLVIK_AUDIO"] = "null"
            program = spawn([bin_dir / "rolvik", song], env=environment, cwd=folder,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                window = Window(environment, MAIN_WINDOW)
                window.xdotool("windowmove", "--sync", window.id, "0", "0")
                window.xdotool("windowsize", "--sync", window.id, *map(str, WINDOW_SIZE_PX))
                photograph(environment, picture, window.id)
                if more:
                    photograph_more(environment, window, more)
            finally:
                stop(program)


if __name__ == "__main__":
    main()
