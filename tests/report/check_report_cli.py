#!/usr/bin/python3
"""Runs `rolvik-cli report` and `rolvik-cli events` on every corpus file and checks that they agree:
`events` prints exactly the report's event lines, `--json` holds the same UTF-8 lines with styles that fit them, and the marked line is the first event at or after
`--position`. Also checks the exit codes for a missing file, a missing argument and standard output
that cannot be written.

Usage: check_report_cli.py ROLVIK_CLI CORPUS_DIR
"""

import json
import pathlib
import re
import subprocess
import sys

# The corpus loop is shared with the other corpus checks; importing it must leave no bytecode
# cache in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent.parent / "support"))
from corpus_check import check_every_corpus_file, missing_corpus_status

EVENT_TIME = re.compile(rb"^<\d{8,}> (\d+)ms ([0-9A-F]{2})")


def run(cli, *arguments):
    return subprocess.run([cli, *arguments], capture_output=True)


def event_lines(report_lines):
    start = report_lines.index(b"-----") + 1
    return report_lines[start:report_lines.index(b"READY", start)]


def check_json(cli, path, text_lines, events):
    position = EVENT_TIME.match(events[len(events) // 2]).group(1).decode() if events else "0"
    result = run(cli, "report", str(path), "--json", "--position", position)
    assert result.returncode == 0, f"{path.name}: report --json exit {result.returncode}"
    report = json.loads(result.stdout.decode("utf-8"))
    assert report["hasDocument"] is True
    lines = report["lines"]
    # Text copied out of a file may hold a line feed, which splits its line in the plain output.
    pieces = [piece for line in lines for piece in line["text"].split("\n")]
    assert len(pieces) == len(text_lines), f"{path.name}: {len(pieces)} JSON lines, {len(text_lines)}"
    for piece, text in zip(pieces, text_lines):
        assert piece == text.decode("utf-8"), f"{path.name}: {piece!r}"
    for line in lines:
        text = line["text"].encode("utf-8")
        status = EVENT_TIME.match(text)
        if line["style"] == "Channel":
            assert status and line["channel"] == int(status.group(2), 16) & 0x0F, line
        else:
            assert line["channel"] is None, line
    marker = report["markerLine"]
    if events:
        first_event = [line["text"].encode("ascii", "replace") for line in lines].index(events[0])
        times = [int(EVENT_TIME.match(event).group(1)) for event in events]
        expected = first_event + next(i for i, time in enumerate(times) if time >= int(position))
        assert marker == expected, f"{path.name}: marker {marker}, expected {expected}"
    else:
        assert marker is None


def check_file(cli, path):
    events = run(cli, "events", str(path))
    report = run(cli, "report", str(path))
    assert events.returncode == report.returncode, f"{path.name}: exit codes differ"
    if report.returncode != 0:
        return "not opened"
    text_lines = report.stdout.split(b"\n")[:-1]
    if b"READY" not in text_lines:
        return f"{len(text_lines)} lines, no event list"
    listed = event_lines(text_lines)
    assert events.stdout.split(b"\n")[:-1] == listed, f"{path.name}: events differ from report"
    check_json(cli, path, text_lines, listed)
    return f"{len(text_lines)} lines, {len(listed)} events"


def check_unwritable_output(cli, corpus):
    """Every command whose standard output cannot be written fails with a message."""
    song = str(corpus / "vavi__ClubGroove.mmf")
    for arguments in (["events", song], ["report", song], ["report", "--json", song], ["--help"]):
        with open("/dev/full", "wb") as full:
            result = subprocess.run([cli, *arguments], stdout=full, stderr=subprocess.PIPE)
        assert result.returncode == 1, f"{arguments}: exit {result.returncode} into /dev/full"
        assert b"Error: Can't write standard output" in result.stderr, result.stderr


def main():
    cli, corpus = sys.argv[1], pathlib.Path(sys.argv[2])
    if (status := missing_corpus_status(corpus)) is not None:
        return status
    assert run(cli, "report", str(corpus / "no such file.mmf")).returncode == 1
    assert run(cli, "report").returncode == 2
    check_unwritable_output(cli, corpus)
    return check_every_corpus_file(
        corpus, lambda path: check_file(cli, path), (AssertionError, ValueError, KeyError)
    )


if __name__ == "__main__":
    sys.exit(main())
