#!/usr/bin/python3
"""Checks `rolvik-cli import` against files nobody on the team wrote.

Every corpus SMAF file with notes goes SMAF -> `rolvik-cli midi` -> `rolvik-cli import` and keeps
every note: channel, key and velocity exactly, start times within one timebase of the compiled file,
and, per channel and key, the ends of its notes within one timebase (a MIDI file cannot tell which
of two overlapping notes of one key ends first, and the import pairs them first in first out).
The song comes back at millisecond ticks, and with it every control change, program change, pitch
bend and exclusive that the MIDI file carried, at its own time.

Every reference MIDI file of the corpus (NAME.mid, another tool's conversion) imports, its notes
equal those an independent reader (mido) finds in it, `events` opens it as the import does, and
the compiled file renders to sound.

Usage: check_midi_import.py ROLVIK_CLI CORPUS_DIR WORK_DIR
"""

import array
import collections
import pathlib
import re
import subprocess
import sys
import wave

import mido

sys.dont_write_bytecode = True
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "support"))
from corpus_check import check_every_corpus_file, missing_corpus_status

EVENT_LINE = re.compile(r"^<\d+> (\d+)ms ([0-9A-F]{2})\(\s*\d+\): ((?:[0-9A-F]{2} )*)")
TIMEBASES_MS = {0x00: 1, 0x01: 2, 0x02: 4, 0x03: 5, 0x10: 10, 0x11: 20, 0x12: 40, 0x13: 50}
# Offset of the duration and gate timebase codes in a compiled file.
TIMEBASE_OFFSET = 31
# The MIDI export sounds a note without a velocity with its channel's last one, 64 at first.
START_VELOCITY = 64


def read_number(data):
    value = 0
    for byte in data:
        value = (value << 7) | (byte & 0x7F)
        if byte < 0x80:
            break
    return value & 0xFFFFFFFF


def document_events(cli, path):
    """(ms, status, data) of every event, or None when the file does not open."""
    run = subprocess.run([cli, "events", str(path)], capture_output=True)
    if run.returncode != 0:
        return None
    events = []
    for line in run.stdout.decode("latin-1").splitlines():
        match = EVENT_LINE.match(line)
        if not match:
            raise AssertionError(f"{path.name}: unexpected event line {line!r}")
        events.append((int(match.group(1)), int(match.group(2), 16), bytes.fromhex(match.group(3))))
    return events


def notes_of(events):
    """(ms, channel, key, velocity, gate ms) of every note MIDI can carry."""
    notes, velocities = [], [START_VELOCITY] * 16
    for time, status, data in events:
        channel = status & 0x0F
        if 0x90 <= status <= 0x9F and len(data) >= 2:
            velocities[channel] = data[1]
            notes.append((time, channel, data[0], data[1], read_number(data[2:])))
        elif 0x80 <= status <= 0x8F and len(data) >= 1:
            notes.append((time, channel, data[0], velocities[channel], read_number(data[1:])))
    # MIDI has no room for keys or velocities of 128 and more; the export leaves such notes out.
    return [note for note in notes if note[2] < 0x80 and note[3] < 0x80]


def is_carried(status, data):
    """Whether the export writes the event into a MIDI file: control and program changes and
    pitch bends of 7-bit data, and exclusives of 7-bit bytes closed by F7."""
    kind = status & 0xF0
    if kind in (0xB0, 0xE0):
        return len(data) == 2 and max(data) < 0x80
    if kind == 0xC0:
        return len(data) == 1 and data[0] < 0x80
    if status == 0xF0 and data:
        body = data[1:]
        return bool(body) and body[-1] == 0xF7 and all(byte < 0x80 for byte in body[:-1])
    return False


def carried_events(events):
    return collections.Counter(event for event in events if is_carried(event[1], event[2]))


def compiled_timebase(path):
    codes = path.read_bytes()[TIMEBASE_OFFSET:TIMEBASE_OFFSET + 2]
    return max(TIMEBASES_MS[code] for code in codes)


def import_midi(cli, midi, output):
    subprocess.run([cli, "import", str(midi), str(output)], check=True, capture_output=True)
    return document_events(cli, output)


def ends_by_key(notes):
    ends = collections.defaultdict(list)
    for time, channel, key, _, gate in notes:
        ends[(channel, key)].append(time + gate)
    return {key: sorted(times) for key, times in ends.items()}


def within(a, b, tolerance):
    return abs(a - b) <= tolerance


def compare_notes(name, ours, theirs, tolerance):
    assert len(ours) == len(theirs), f"{name}: {len(ours)} notes, expected {len(theirs)}"
    order = lambda note: (note[1], note[2], note[0])
    for mine, other in zip(sorted(ours, key=order), sorted(theirs, key=order)):
        same = within(mine[0], other[0], tolerance) and mine[1:4] == other[1:4]
        assert same, f"{name}: note {mine[:4]}, expected {other[:4]}"


def compare_ends(name, ours, theirs, tolerance):
    mine, other = ends_by_key(ours), ends_by_key(theirs)
    assert mine.keys() == other.keys(), f"{name}: notes on other channels or keys"
    for key, ends in mine.items():
        close = all(within(a, b, tolerance) for a, b in zip(ends, other[key]))
        assert close, f"{name}: channel {key[0]} key {key[1]} ends {ends}, expected {other[key]}"


def check_round_trip(cli, path, work):
    events = document_events(cli, path)
    if events is None:
        return "not opened"
    original = notes_of(events)
    if not original:
        return "no notes"
    midi, smaf = work / (path.stem + ".mid"), work / (path.stem + ".imported.mmf")
    subprocess.run([cli, "midi", str(path), str(midi)], check=True, capture_output=True)
    imported_events = import_midi(cli, midi, smaf)
    imported = notes_of(imported_events)
    tolerance = compiled_timebase(smaf)
    compare_notes(path.name, imported, original, tolerance)
    compare_ends(path.name, imported, original, tolerance)
    # At millisecond ticks nothing moves, so every other event the MIDI file carried is back at
    # its own time.
    assert tolerance == 1, f"{path.name}: imported at {tolerance} ms ticks"
    lost = carried_events(events) - carried_events(imported_events)
    assert not lost, f"{path.name}: lost {sorted(lost)[:3]}"
    return f"{len(imported)} notes and {sum(carried_events(events).values())} other events kept"


def mido_notes(path):
    """(ms, channel, key, velocity) of every note-on with a velocity."""
    notes, seconds = [], 0.0
    for message in mido.MidiFile(str(path)):
        seconds += message.time
        if message.type == "note_on" and message.velocity > 0:
            notes.append((round(seconds * 1000), message.channel, message.note, message.velocity))
    return notes


def rendered_peak(cli, smaf, output):
    subprocess.run([cli, "render", str(smaf), str(output)], check=True, capture_output=True)
    with wave.open(str(output)) as sound:
        assert sound.getsampwidth() == 2, f"{output.name}: {sound.getsampwidth()} bytes a sample"
        samples = array.array("h", sound.readframes(sound.getnframes()))
    return max((abs(sample) for sample in samples), default=0)


def check_reference(cli, reference, work):
    smaf = work / (reference.stem + ".reference.mmf")
    imported_events = import_midi(cli, reference, smaf)
    # Commands know a MIDI file by what it holds and open it through the same import.
    opened = document_events(cli, reference)
    assert opened == imported_events, f"{reference.name}: opened unlike the import"
    imported = notes_of(imported_events)
    theirs = mido_notes(reference)
    compare_notes(reference.name, [note[:4] for note in imported], theirs, 1)
    peak = rendered_peak(cli, smaf, work / (reference.stem + ".wav"))
    assert peak > 0, f"{reference.name}: rendered silence"
    return f"{len(imported)} notes as mido reads them, renders (peak {peak})"


def main():
    cli, corpus, work = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
    if (status := missing_corpus_status(corpus)) is not None:
        return status
    work.mkdir(parents=True, exist_ok=True)
    failures = (AssertionError, subprocess.CalledProcessError, OSError, ValueError, EOFError)
    status = check_every_corpus_file(corpus, lambda path: check_round_trip(cli, path, work), failures)
    references = sorted(corpus.glob("*.mid"))
    for reference in references:
        try:
            print(f"{reference.name}: {check_reference(cli, reference, work)}")
        except failures as error:
            status = 1
            print(f"FAIL {reference.name}: {error}")
    if not references:
        print("no reference MIDI files")
        status = 1
    return status


if __name__ == "__main__":
    sys.exit(main())
