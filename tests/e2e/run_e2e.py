#!/usr/bin/python3
"""Drives the real window program under Xvfb with real key presses and listens to what it plays
through a PulseAudio null sink: the demo song with MidiPlay (F6) and EmuPlay (F5) must sound and
stop with F7; Compile (Ctrl+M) and Save (Ctrl+S) must write a file that opens to the same events,
asking first when a file of the name, ".mmf" added, is there; a real song whose end lies after
its last note, opened, given one more note by a double-click, compiled, saved and opened again,
must keep its end where it was;
Help, About... must open the About box and Esc close it; Exit (Alt+X) must end the program
cleanly. Every wait is bounded and every process it starts is
stopped by its id.

Usage: run_e2e.py BIN_DIR SOURCE_DIR
"""

import array
import os
import pathlib
import select
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "support"))
from corpus_check import SKIPPED, missing_corpus_status
from x11_session import (MAIN_WINDOW, SINK, STEP_TIMEOUT_S, Window, desktop, spawn, stop,
                          wait_until)

RECORD_S = 3
SAMPLE_RATE_HZ = 44100
# Peak and RMS of 16-bit samples below which a recording counts as silence.
SILENT_PEAK = 300
SILENT_RMS = 30
# Time for the notes' release after Stop.
RELEASE_S = 1
# Time for a menu to open before its item's key is pressed.
MENU_OPEN_S = 0.5


def record(environment, seconds):
    """Records the given length of the sink's monitor and returns its 16-bit samples."""
    wanted = int(seconds * SAMPLE_RATE_HZ) * 2 * 2
    recorder = spawn(["parec", "-d", SINK + ".monitor", "--raw", "--format=s16le",
                      f"--rate={SAMPLE_RATE_HZ}", "--channels=2", "--latency-msec=20"],
                     env=environment, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    data = bytearray()
    deadline = time.monotonic() + seconds + STEP_TIMEOUT_S
    try:
        while len(data) < wanted and time.monotonic() < deadline:
            ready, _, _ = select.select([recorder.stdout], [], [], 0.5)
            chunk = os.read(recorder.stdout.fileno(), 1 << 16) if ready else b""
            if ready and not chunk:
                break
            data += chunk
    finally:
        stop(recorder)
    samples = array.array("h")
    samples.frombytes(bytes(data[:wanted]))
    return samples


def loudness(samples):
    if not samples:
        return 0, 0.0
    peak = max(abs(s) for s in samples)
    rms = (sum(s * s for s in samples) / len(samples)) ** 0.5
    return peak, rms


class EndToEnd:
    def __init__(self, bin_dir, source_dir, folder, environment):
        self.bin_dir = bin_dir
        self.demo = source_dir / "res" / "demo.mmf"
        self.corpus = source_dir.parent / "shared" / "corpus"
        self.folder = folder
        self.environment = environment
        self.failures = []

    def check(self, condition, message):
        if not condition:
            self.failures.append(message)

    def play_and_stop(self, window, key, mode_pattern, name):
        window.press(key)
        window.wait_for_title(mode_pattern)
        samples = record(self.environment, RECORD_S)
        peak, rms = loudness(samples)
        frames = len(samples) // 2
        self.check(frames == SAMPLE_RATE_HZ * RECORD_S,
                   f"{name}: only {frames} frames were recorded")
        self.check(peak > SILENT_PEAK and rms > SILENT_RMS,
                   f"{name} is silent (peak {peak}, RMS {rms:.1f})")
        print(f"{name}: {frames} frames, peak {peak}, RMS {rms:.1f}")
        window.press("F7")
        window.wait_for_title(r"Rolvik \d{5}ms")
        time.sleep(RELEASE_S)
        peak, rms = loudness(record(self.environment, 1))
        self.check(peak <= SILENT_PEAK, f"{name} still sounds after Stop (peak {peak})")

    def compile_and_save(self, window):
        window.press("ctrl+m")
        message = Window(self.environment, "^CompileSMAF$")
        message.press("Return")
        message.wait_closed()
        saved = self.folder / "saved.mmf"
        saved.write_bytes(b"old")
        window.press("ctrl+s")
        dialog = Window(self.environment, "^Compile and Save SMAF")
        # Typed without its extension, the name still leads to the question before "saved.mmf"
        # is replaced. The dialog offers the song's own name first.
        dialog.press("ctrl+a")
        dialog.type(str(self.folder / "saved"))
        dialog.press("Return")
        question = Window(self.environment, "^Compile and Save SMAF", other_than=dialog.id)
        self.check(saved.read_bytes() == b"old", "saved.mmf was replaced before the question")
        question.press("alt+y")
        wait_until(lambda: saved.stat().st_size > len(b"old"), STEP_TIMEOUT_S, "the saved file")
        dialog.wait_closed()
        self.check(self.events(saved) == self.events(self.demo),
                   "the saved file does not open to the demo song's events")

    def open_file(self, window, path):
        window.press("ctrl+o")
        dialog = Window(self.environment, "^Open SMAF$")
        dialog.press("ctrl+a")
        dialog.type(str(path))
        dialog.press("Return")
        dialog.wait_closed()
        window.wait_for_title(r"Rolvik \d{5}ms")

    def edit_keeps_the_end(self, window):
        """A song whose end of sequence lies 1.4 s after its last note keeps that end through an
        inserted note, a compile, a save and a new open."""
        status = missing_corpus_status(self.corpus)
        if status is not None:
            self.check(status == SKIPPED, "the song corpus is missing")
            return
        song = self.corpus / "dlunch__midi.mmf"
        before = self.events(song).splitlines()
        self.open_file(window, song)
        geometry = dict(line.split("=") for line in
                        window.xdotool("getwindowgeometry", "--shell", window.id).split())
        # Among the lowest keys (rows of 3 px from below the ruler), a third of the way across:
        # no note of the song sounds there.
        x, y = int(geometry["WIDTH"]) // 3, 430
        window.xdotool("mousemove", "--window", window.id, str(x), str(y))
        window.xdotool("click", "--repeat", "2", "--delay", "80", "1")
        window.press("ctrl+m")
        message = Window(self.environment, "^CompileSMAF$")
        message.press("Return")
        message.wait_closed()
        edited = self.folder / "edited.mmf"
        window.press("ctrl+s")
        dialog = Window(self.environment, "^Compile and Save SMAF")
        dialog.press("ctrl+a")
        dialog.type(str(edited))
        dialog.press("Return")
        wait_until(edited.exists, STEP_TIMEOUT_S, "the edited file")
        dialog.wait_closed()
        self.open_file(window, edited)
        after = self.events(edited).splitlines()
        notes = [sum(b"NoteOn" in line for line in lines) for lines in (before, after)]
        self.check(notes[1] == notes[0] + 1, f"the double-click gave {notes[1] - notes[0]} notes")
        ends = [lines[-1].split()[1].decode() if lines else "" for lines in (before, after)]
        self.check(ends[0] == "00067500ms" and ends[1] == ends[0],
                   f"the end of sequence moved from {ends[0]} to {ends[1]}")
        print(f"edit, compile, save, reopen: {notes[0]} -> {notes[1]} notes, end {ends[1]}")

    def about_box(self, window):
        """Help, About... opens the About box, and Esc closes it again. On a busy machine the menu
        may open after its item's key has been pressed; then the menu is closed and opened again."""
        for attempt in range(3):
            window.press("alt+h")
            time.sleep(MENU_OPEN_S)
            window.press("a")
            try:
                about = Window(self.environment, r"^About this software\.\.\.$")
                break
            except TimeoutError:
                if attempt == 2:
                    raise
                window.press("Escape")
        about.press("Escape")
        about.wait_closed()

    def events(self, path):
        result = subprocess.run([self.bin_dir / "rolvik-cli", "events", path], capture_output=True,
                                timeout=STEP_TIMEOUT_S)
        self.check(result.returncode == 0, f"rolvik-cli events {path} failed")
        return result.stdout

    def run(self):
        log = open(self.folder / "rolvik.log", "wb")
        program = spawn([self.bin_dir / "rolvik", self.demo], env=self.environment,
                        cwd=self.folder, stdout=log, stderr=subprocess.STDOUT)
        try:
            window = Window(self.environment, MAIN_WINDOW)
            self.play_and_stop(window, "F6", r"Rolvik MIDI:\d{5}ms", "MidiPlay")
            self.play_and_stop(window, "F5", r"Rolvik EMU:\d{5}ms .*", "EmuPlay")
            self.compile_and_save(window)
            self.edit_keeps_the_end(window)
            self.about_box(window)
            window.press("alt+x")
            self.check(program.wait(timeout=STEP_TIMEOUT_S) == 0, "Exit did not end with code 0")
        finally:
            stop(program)
            log.close()


def main():
    bin_dir, source_dir = (pathlib.Path(a).resolve() for a in sys.argv[1:3])
    with tempfile.TemporaryDirectory(prefix="rolvik-e2e-") as name:
        folder = pathlib.Path(name)
        with desktop(str(folder)) as environment:
            test = EndToEnd(bin_dir, source_dir, folder, environment)
            try:
                test.run()
            except (TimeoutError, subprocess.SubprocessError) as failure:
                test.failures.append(str(failure))
            if test.failures:
                print((folder / "rolvik.log").read_text(errors="replace"))
    for failure in test.failures:
        print("FAIL:", failure)
    print("end-to-end:", "FAILED" if test.failures else "passed")
    return 1 if test.failures else 0


if __name__ == "__main__":
    sys.exit(main())
