#!/usr/bin/python3
"""Press-to-sound: how long it takes from a key press in the real window to the first audible
sample at the sound server. Starts `rolvik` on the demo song under Xvfb with a PulseAudio null sink,
records the sink's monitor the whole time, and presses, ten times each: F5 (EmuPlay) then F7, F6
(MidiPlay) then F7, and a left press on a key row of the piano roll (note preview) then its
release. Each press is made through the XTEST extension and stamped right after it is flushed to
the X server; each recorded chunk is stamped when it arrives, which places every sample in time.
Prints the median and the worst delay of each kind. The target is 30 ms.

With --pipewire it starts PipeWire with its PulseAudio server (Debian packages pipewire,
pipewire-pulse, wireplumber) instead of PulseAudio, where they are installed.

Usage: press_to_sound.py BIN_DIR SONG.mmf [--presses N] [--pipewire]
"""

import argparse
import array
import ctypes
import os
import pathlib
import select
import statistics
import subprocess
import sys
import tempfile
import threading
import time

sys.dont_write_bytecode = True
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tests" / "support"))
from x11_session import MAIN_WINDOW, SINK, Window, desktop, spawn, stop, wait_until

RATE_HZ = 48000
# A 16-bit sample above this counts as sound; the silence between presses stays far below it.
AUDIBLE = 200
# How long each press keeps playing, and how long the release of its notes may take.
PLAY_S = 0.6
QUIET_S = 1.2
# The sound server starts playing a new stream some time after it opened, about 1.5 s; the stream
# opens with the program, so the presses begin once that is over.
SETTLE_S = 2.0
# Where the preview press lands, from the main window's top-left corner: on the roll, well below
# the menu, the toolbar and the ruler.
PREVIEW_AT = (400, 300)


class Recorder:
    """Records the sink's monitor on a thread and stamps each chunk with its arrival time."""

    def __init__(self, environment, source):
        self.process = spawn(["parec", "-d", source, "--raw", "--format=s16le",
                              f"--rate={RATE_HZ}", "--channels=1", "--latency-msec=2"],
                             env=environment, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.chunks = []
        self.lock = threading.Lock()
        self.running = True
        self.thread = threading.Thread(target=self.read, daemon=True)
        self.thread.start()

    def read(self):
        pipe = self.process.stdout.fileno()
        rest = b""
        while self.running:
            ready, _, _ = select.select([pipe], [], [], 0.2)
            if not ready:
                continue
            data = os.read(pipe, 1 << 16)
            arrived = time.monotonic()
            if not data:
                return
            data = rest + data
            usable = len(data) - len(data) % 2
            rest = data[usable:]
            samples = array.array("h")
            samples.frombytes(data[:usable])
            with self.lock:
                self.chunks.append((arrived, samples))

    def first_sound_after(self, moment):
        """The time of the first audible sample at or after `moment`, or None."""
        with self.lock:
            chunks = list(self.chunks)
        for arrived, samples in chunks:
            start = arrived - len(samples) / RATE_HZ
            for index, sample in enumerate(samples):
                at = start + (index + 1) / RATE_HZ
                if at >= moment and abs(sample) > AUDIBLE:
                    return at
        return None

    def close(self):
        self.running = False
        stop(self.process)


class XTest:
    """Key and button presses straight through the XTEST extension, without a helper process."""

    def __init__(self, display):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                ctypes.c_ulong]
        self.xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                   ctypes.c_ulong]
        self.display = self.x11.XOpenDisplay(display.encode())
        if not self.display:
            raise RuntimeError("cannot open the X display")

    def key(self, name, down):
        code = self.x11.XKeysymToKeycode(self.display, self.x11.XStringToKeysym(name.encode()))
        self.xtst.XTestFakeKeyEvent(self.display, code, 1 if down else 0, 0)
        self.x11.XFlush(self.display)
        return time.monotonic()

    def button(self, down):
        self.xtst.XTestFakeButtonEvent(self.display, 1, 1 if down else 0, 0)
        self.x11.XFlush(self.display)
        return time.monotonic()


def press_and_measure(recorder, press, release):
    time.sleep(QUIET_S)
    pressed = press()
    time.sleep(PLAY_S)
    release()
    heard = recorder.first_sound_after(pressed)
    return None if heard is None else (heard - pressed) * 1000


def measure(bin_dir, song, environment, folder, presses, source):
    with open(folder / "rolvik.log", "wb") as log:
        program = spawn([bin_dir / "rolvik", song], env=environment, cwd=folder, stdout=log,
                        stderr=subprocess.STDOUT)
        recorder = Recorder(environment, source)
        try:
            window = Window(environment, MAIN_WINDOW)
            window.xdotool("windowfocus", "--sync", window.id)
            x, y = PREVIEW_AT
            window.xdotool("mousemove", "--window", window.id, str(x), str(y))
            xtest = XTest(environment["DISPLAY"])
            time.sleep(SETTLE_S)

            def tap(key):
                xtest.key(key, True)
                return xtest.key(key, False)

            # Every play starts from the song's beginning, where its first notes sound at once.
            def stop_and_rewind():
                tap("F7")
                tap("F8")

            def play(key):
                pressed = xtest.key(key, True)
                xtest.key(key, False)
                return pressed

            kinds = {
                "F5 (EmuPlay)": (lambda: play("F5"), lambda: stop_and_rewind()),
                "F6 (MidiPlay)": (lambda: play("F6"), lambda: stop_and_rewind()),
                "note preview": (lambda: xtest.button(True), lambda: xtest.button(False)),
            }
            results = {}
            for name, (press, release) in kinds.items():
                results[name] = [press_and_measure(recorder, press, release)
                                 for _ in range(presses)]
            window.press("alt+x")
            program.wait(timeout=20)
        finally:
            recorder.close()
            stop(program)
    return results


def start_pipewire(folder, environment):
    """Starts a session bus, PipeWire, its session manager and its PulseAudio server in the
    private runtime folder, with a null sink as the only output; returns the processes to stop."""
    environment.pop("PULSE_SERVER", None)
    bus = folder / "bus"
    environment["DBUS_SESSION_BUS_ADDRESS"] = f"unix:path={bus}"
    processes = [spawn(["dbus-daemon", "--session", "--nofork", f"--address=unix:path={bus}"],
                       env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)]
    wait_until(bus.exists, 20, "the session bus")
    processes.append(spawn(["pipewire"], env=environment, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL))
    time.sleep(0.5)
    processes.append(spawn(["wireplumber"], env=environment, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL))
    processes.append(spawn(["pipewire-pulse"], env=environment, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL))
    wait_until(lambda: subprocess.run(["pactl", "info"], env=environment, capture_output=True,
                                      timeout=20).returncode == 0, 20, "pipewire-pulse")
    subprocess.run(["pactl", "load-module", "module-null-sink", f"sink_name={SINK}"],
                   env=environment, capture_output=True, timeout=20, check=True)
    wait_until(lambda: subprocess.run(["pactl", "set-default-sink", SINK], env=environment,
                                      capture_output=True, timeout=20).returncode == 0,
               20, "the null sink as the default")
    return processes


def report(results, server):
    print(f"press to first audible sample at the {server} sink:")
    for name, delays in results.items():
        heard = [delay for delay in delays if delay is not None]
        missed = len(delays) - len(heard)
        if not heard:
            print(f"  {name}: no sound in {len(delays)} presses")
            continue
        print(f"  {name}: median {statistics.median(heard):.1f} ms, worst {max(heard):.1f} ms"
              f" ({len(heard)} presses" + (f", {missed} without sound" if missed else "") + ")")


def main():
    parser = argparse.ArgumentParser(description="Key press to first audible sample.")
    parser.add_argument("bin_dir", type=pathlib.Path)
    parser.add_argument("song", type=pathlib.Path)
    parser.add_argument("--presses", type=int, default=10)
    parser.add_argument("--pipewire", action="store_true")
    arguments = parser.parse_args()
    bin_dir, song = arguments.bin_dir.resolve(), arguments.song.resolve()
    presses, pipewire = arguments.presses, arguments.pipewire
    with tempfile.TemporaryDirectory(prefix="rolvik-press-") as name:
        folder = pathlib.Path(name)
        with desktop(name) as environment:
            servers = []
            try:
                if pipewire:
                    servers = start_pipewire(folder, environment)
                results = measure(bin_dir, song, environment, folder, presses,
                                  SINK + ".monitor")
            finally:
                for process in reversed(servers):
                    stop(process)
    report(results, "PipeWire (PulseAudio server)" if pipewire else "PulseAudio null")
    return 0


if __name__ == "__main__":
    sys.exit(main())
