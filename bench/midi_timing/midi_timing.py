#!/usr/bin/python3
"""MidiPlay's timing in the real window. Starts `rolvik FILE` under Xvfb with a PulseAudio null
sink, with the engine library that timestamps every SetMidiMsg, opens the detail window (Ctrl+D),
plays with MidiPlay (F6) for some seconds (20 unless --seconds) while the window repaints, stops
(F7) and exits (Alt+X). Then it pairs each note-on that was sent with its event in `rolvik-cli
events FILE` and prints how late each was sent relative to the first note: lateness = (sent -
first sent) - (event time - first event time), and relative to the note that left earliest
against its time (lateness less the smallest lateness). The target is 10 ms at the 99th
percentile.

With --follow the view follows the play position (Shift+F 1), so the piano roll repaints whole.
The engine plays to the PulseAudio sink; with --silent it plays without a device
(ROLVIK_AUDIO=null), which leaves the sound device's own delays out.

Usage: midi_timing.py BIN_DIR FILE.mmf... [--seconds N] [--follow] [--silent]
"""

import pathlib
import re
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tests" / "support"))
from x11_session import MAIN_WINDOW, STEP_TIMEOUT_S, Window, desktop, spawn, stop

EVENT_LINE = re.compile(r"^<\d+> (\d+)ms ([0-9A-F]{2})\(\s*\d+\):((?: [0-9A-F]{2})*)")


def note_ons_in_file(bin_dir, song):
    """(time in ms, channel, note) of every note in the event list, in list order: status 8n is a
    note at the default velocity, 9n one with its own velocity (none when that is 0)."""
    listing = subprocess.run([bin_dir / "rolvik-cli", "events", song], capture_output=True,
                             text=True, check=True, timeout=STEP_TIMEOUT_S).stdout
    notes = []
    for line in listing.splitlines():
        match = EVENT_LINE.match(line)
        if not match:
            continue
        status, data = int(match[2], 16), [int(byte, 16) for byte in match[3].split()]
        if status >> 4 == 0x8 or (status >> 4 == 0x9 and len(data) >= 2 and data[1] > 0):
            notes.append((int(match[1]), status & 0x0F, data[0]))
    return notes


def note_ons_sent(log):
    """(arrival in ms, channel, note) of every note-on message with a velocity, in order."""
    sent = []
    for line in log.read_text().splitlines():
        fields = line.split()
        message = [int(byte, 16) for byte in fields[1:]]
        if len(message) == 3 and message[0] >> 4 == 0x9 and message[2] > 0:
            sent.append((int(fields[0]) / 1e6, message[0] & 0x0F, message[1]))
    return sent


def play(bin_dir, song, folder, environment, seconds, follow, silent):
    log = folder / "messages.txt"
    environment = dict(environment, ROLVIK_ENGINE=str(bin_dir / "librolvik-timing-engine.so"),
                       ROLVIK_TIMING_LOG=str(log))
    if silent:
        environment["ROLVIK_AUDIO"] = "null"
    with open(folder / "rolvik.log", "wb") as output:
        program = spawn([bin_dir / "rolvik", song], env=environment, cwd=folder,
                        stdout=output, stderr=subprocess.STDOUT)
        try:
            window = Window(environment, MAIN_WINDOW)
            window.press("ctrl+d")
            Window(environment, "^Rolvik - DetailView$")
            if follow:
                # Shift+F 1: the view follows the play position, so the whole roll repaints often.
                window.xdotool("windowfocus", "--sync", window.id)
                window.xdotool("keydown", "shift", "key", "f", "key", "1", "keyup", "shift")
            window.press("F6")
            window.wait_for_title(r"Rolvik MIDI:\d{5}ms")
            time.sleep(seconds)
            window.press("F7")
            window.press("alt+x")
            program.wait(timeout=STEP_TIMEOUT_S)
        finally:
            stop(program)
    return log


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(fraction * len(ordered)))]


def measure(bin_dir, song, seconds, follow, silent):
    with tempfile.TemporaryDirectory(prefix="rolvik-timing-") as name:
        folder = pathlib.Path(name)
        with desktop(name) as environment:
            sent = note_ons_sent(play(bin_dir, song, folder, environment, seconds, follow,
                                          silent))
    expected = note_ons_in_file(bin_dir, song)[: len(sent)]
    if not sent or [s[1:] for s in sent] != [e[1:] for e in expected]:
        print(f"{song.name}: the notes sent ({len(sent)}) do not follow the event list")
        return False
    lateness = [(s[0] - sent[0][0]) - (e[0] - expected[0][0]) for s, e in zip(sent, expected)]
    # The first note may itself leave late, which would make the others look early; measured from
    # the note that left earliest against its time, no lateness is negative.
    spread = [value - min(lateness) for value in lateness]
    conditions = (" (view following)" if follow else "") + (" (no sound device)" if silent else "")
    print(f"{song.name}{conditions}: {len(sent)} notes in {expected[-1][0] - expected[0][0]} ms; "
          f"lateness from the first note: median {percentile(lateness, 0.5):.1f} ms, 99th "
          f"percentile {percentile(lateness, 0.99):.1f} ms, max {max(lateness):.1f} ms; from the "
          f"earliest note: 99th percentile {percentile(spread, 0.99):.1f} ms, max "
          f"{max(spread):.1f} ms")
    return True


def main():
    arguments = sys.argv[1:]
    seconds = 20
    if "--seconds" in arguments:
        at = arguments.index("--seconds")
        seconds = float(arguments[at + 1])
        del arguments[at:at + 2]
    follow, silent = "--follow" in arguments, "--silent" in arguments
    arguments = [argument for argument in arguments if argument not in ("--follow", "--silent")]
    bin_dir = pathlib.Path(arguments[0]).resolve()
    results = [measure(bin_dir, pathlib.Path(song).resolve(), seconds, follow, silent)
               for song in arguments[1:]]
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
