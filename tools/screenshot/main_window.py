#!/usr/bin/python3
"""Photographs the main window with a song loaded, on a private Xvfb display: the picture at the top
of the README. Run through scripts/screenshot, which builds the program first.

Usage: main_window.py BIN_DIR SONG OUT.png
"""

import pathlib
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tests" / "support"))
from x11_session import MAIN_WINDOW, STEP_TIMEOUT_S, Window, desktop, spawn, stop

WINDOW_SIZE_PX = ("900", "560")
# Long enough for the first paint after the resize on a busy machine.
SETTLE_S = 1.5


def main():
    bin_dir, song, picture = (pathlib.Path(a).resolve() for a in sys.argv[1:4])
    with tempfile.TemporaryDirectory(prefix="rolvik-screenshot-") as folder:
        with desktop(folder) as environment:
            environment["ROLVIK_AUDIO"] = "null"
            program = spawn([bin_dir / "rolvik", song], env=environment, cwd=folder,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                window = Window(environment, MAIN_WINDOW)
                window.xdotool("windowmove", "--sync", window.id, "0", "0")
                window.xdotool("windowsize", "--sync", window.id, *WINDOW_SIZE_PX)
                time.sleep(SETTLE_S)
                picture.parent.mkdir(parents=True, exist_ok=True)
                subprocess.run(["import", "-window", window.id, f"png:{picture}"], check=True,
                               env=environment, timeout=STEP_TIMEOUT_S)
            finally:
                stop(program)
    print(f"wrote {picture}")


if __name__ == "__main__":
    main()
