#!/usr/bin/python3
"""Reads back, with mido, the MIDI files that `rolvik-cli midi` writes for every corpus file (an
independent reader: the notes themselves are checked against the core's document by the
export_tests suite): the layout, one note-off for every note-on, and the same notes with and
without --gm. Where the corpus holds another tool's conversion of a file (NAME.mid beside
NAME.mmf), the General MIDI export sounds the same notes: same times (within 2 ms), channels, keys
and velocities.

Usage: check_midi_export.py ROLVIK_CLI CORPUS_DIR WORK_DIR
"""

import pathlib
import subprocess
import sys

import mido

# The corpus loop is shared with the other corpus checks; importing it must leave no bytecode
# cache in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "support"))
from corpus_check import check_every_corpus_file, missing_corpus_status


def exported_notes(cli, path, output, general_midi):
    """(note-on count, note-off count, track count) of the exported file, or None when the song
    does not open."""
    command = [cli, "midi", str(path), str(output)] + (["--gm"] if general_midi else [])
    if subprocess.run(command, capture_output=True).returncode != 0:
        return None
    midi = mido.MidiFile(str(output))
    assert midi.type == 1, f"{path.name}: format {midi.type}"
    assert midi.ticks_per_beat == 500, f"{path.name}: division {midi.ticks_per_beat}"
    tempos = [m.tempo for m in midi.tracks[0] if m.type == "set_tempo"]
    assert tempos == [500000], f"{path.name}: tempo {tempos}"
    note_ons = sum(1 for track in midi.tracks for m in track if m.type == "note_on")
    note_offs = sum(1 for track in midi.tracks for m in track if m.type == "note_off")
    return note_ons, note_offs, len(midi.tracks)


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
    counts = []
    for general_midi in (False, True):
        output = work / (path.stem + ("-gm" if general_midi else "") + ".mid")
        exported = exported_notes(cli, path, output, general_midi)
        if exported is None:
            return "not opened"
        note_ons, note_offs, tracks = exported
        assert note_ons == note_offs, f"{path.name}: {note_ons} note-ons, {note_offs} note-offs"
        counts.append(note_ons)
        if general_midi:
            compare_with_reference(path, output)
    assert counts[0] == counts[1], f"{path.name}: {counts[0]} notes, {counts[1]} with --gm"
    return f"{counts[0]} notes, {tracks} tracks"


def main():
    cli, corpus, work = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
    if (status := missing_corpus_status(corpus)) is not None:
        return status
    work.mkdir(parents=True, exist_ok=True)
    return check_every_corpus_file(
        corpus,
        lambda path: check_file(cli, path, work),
        (AssertionError, subprocess.CalledProcessError, OSError, ValueError),
    )


if __name__ == "__main__":
    sys.exit(main())
