#!/usr/bin/python3
"""Reads back, with mido, the MIDI files that `rolvik-cli midi` writes for every corpus file, and
checks them against the event list that `rolvik-cli events` prints for the same file: one note-on
per note event, and the last note-off at the end of the note that ends last. Where the corpus holds
another tool's conversion of a file (NAME.mid beside NAME.mmf), the General MIDI export sounds the
same notes: same times (within 2 ms), channels, keys and velocities.

Usage: check_midi_export.py ROLVIK_CLI CORPUS_DIR WORK_DIR
"""

import pathlib
import re
import subprocess
import sys

import mido

# The corpus loop is shared with the other corpus checks; importing it must leave no bytecode
# cache in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "support"))
from corpus_check import check_every_corpus_file

EVENT_LINE = re.compile(r"^<\d+> (\d+)ms ([0-9A-F]{2})\(\s*\d+\): ((?:[0-9A-F]{2} )*)")


def read_number(data):
    """A variable-length number: 7 bits a byte, bit 7 set on every byte but the last."""
    value = 0
    for byte in data:
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            break
    return value & 0xFFFFFFFF


def document_notes(cli, path):
    """(start ms, end ms) of every note event of the file, or None when it does not open."""
    run = subprocess.run([cli, "events", str(path)], capture_output=True)
    if run.returncode != 0:
        return None
    notes = []
    for line in run.stdout.decode("latin-1").splitlines():
        match = EVENT_LINE.match(line)
        if not match:
            raise AssertionError(f"{path.name}: unexpected event line {line!r}")
        time, status = int(match.group(1)), int(match.group(2), 16)
        data = bytes.fromhex(match.group(3))
        if 0x80 <= status <= 0x8F and len(data) >= 1:
            notes.append((time, time + read_number(data[1:])))
        elif 0x90 <= status <= 0x9F and len(data) >= 2:
            notes.append((time, time + read_number(data[2:])))
    return notes


def exported_notes(cli, path, output, general_midi):
    """(note-on count, tick of the last note-off, track count) of the exported file."""
    command = [cli, "midi", str(path), str(output)] + (["--gm"] if general_midi else [])
    subprocess.run(command, check=True, capture_output=True)
    midi = mido.MidiFile(str(output))
    assert midi.type == 1, f"{path.name}: format {midi.type}"
    assert midi.ticks_per_beat == 500, f"{path.name}: division {midi.ticks_per_beat}"
    tempos = [m.tempo for m in midi.tracks[0] if m.type == "set_tempo"]
    assert tempos == [500000], f"{path.name}: tempo {tempos}"
    note_ons, last_off = 0, None
    for track in midi.tracks:
        tick = 0
        for message in track:
            tick += message.time
            if message.type == "note_on":
                note_ons += 1
            elif message.type == "note_off":
                last_off = tick if last_off is None else max(last_off, tick)
    return note_ons, last_off, len(midi.tracks)


def sounding_notes(path):
    """(ms, channel, key, velocity) of every note-on with a velocity, in time order."""
    notes, seconds = [], 0.0
    for message in mido.MidiFile(str(path)):
        seconds += message.time
        if message.type == "note_on" and message.velocity > 0:
            notes.append((round(seconds * 1000), message.channel, message.note, message.velocity))
    return sorted(notes)


def compare_with_reference(path, exported):
    reference = path.with_suffix(".mid")
    if not reference.exists():
        return
    theirs, ours = sounding_notes(reference), sounding_notes(exported)
    assert len(theirs) == len(ours), f"{path.name}: {len(ours)} notes, reference {len(theirs)}"
    for mine, other in zip(ours, theirs):
        same = abs(mine[0] - other[0]) <= 2 and mine[1:] == other[1:]
        assert same, f"{path.name}: note {mine}, reference {other}"


def check_file(cli, path, work):
    notes = document_notes(cli, path)
    if notes is None:
        return "not opened"
    for general_midi in (False, True):
        output = work / (path.stem + ("-gm" if general_midi else "") + ".mid")
        note_ons, last_off, tracks = exported_notes(cli, path, output, general_midi)
        assert note_ons == len(notes), f"{path.name}: {note_ons} note-ons for {len(notes)} notes"
        expected_end = max((end for _, end in notes), default=None)
        assert last_off == expected_end, f"{path.name}: last note-off {last_off}, notes end {expected_end}"
        if general_midi:
            compare_with_reference(path, output)
    return f"{len(notes)} notes, {tracks} tracks, end {expected_end} ms"


def main():
    cli, corpus, work = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
    work.mkdir(parents=True, exist_ok=True)
    return check_every_corpus_file(
        corpus,
        lambda path: check_file(cli, path, work),
        (AssertionError, subprocess.CalledProcessError, OSError, ValueError),
    )


if __name__ == "__main__":
    sys.exit(main())
