#!/usr/bin/python3
"""Time until the piano roll's first paint when the window program opens a song, under Xvfb: the
program started with no song, with the demo song, with the largest corpus file (in bytes), with the
corpus file of the most events and with the core benchmark's 16-track song of 1,000,000 events. A
probe preloaded into the program measures from the creation of the application object to the end
of the piano roll's first paint (and that paint alone), then ends the program. The difference to
the run without a song is the cost of opening.

Usage: first_paint.py BIN_DIR [CORPUS_DIR] [--runs N]
"""

import pathlib
import statistics
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True
SOURCE_DIR = pathlib.Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE_DIR / "tests" / "support"))
from x11_session import desktop, spawn, stop

RUN_TIMEOUT_S = 300
MILLION = 1_000_000


def first_paint(bin_dir, song, folder, environment):
    log = folder / "first-paint.txt"
    log.unlink(missing_ok=True)
    environment = dict(environment, LD_PRELOAD=str(bin_dir / "librolvik-first-paint-probe.so"),
                       ROLVIK_FIRST_PAINT_LOG=str(log), ROLVIK_AUDIO="null")
    program = spawn([bin_dir / "rolvik", *([song] if song else [])], env=environment,
                    cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        program.wait(timeout=RUN_TIMEOUT_S)
    finally:
        stop(program)
    first_ms, paint_ms = (float(value) for value in log.read_text().split())
    return first_ms, paint_ms


def event_count(bin_dir, song):
    listing = subprocess.run([bin_dir / "rolvik-cli", "events", song], capture_output=True,
                             timeout=RUN_TIMEOUT_S)
    return listing.stdout.count(b"\n") if listing.returncode == 0 else 0


def songs(bin_dir, corpus, folder):
    files = sorted(corpus.glob("*.mmf"))
    largest = max(files, key=lambda path: path.stat().st_size)
    counts = {path: event_count(bin_dir, path) for path in files}
    busiest = max(files, key=counts.get)
    million = folder / "million-events.mmf"
    subprocess.run([bin_dir / "rolvik-write-multitrack-song", str(MILLION), million], check=True,
                   timeout=RUN_TIMEOUT_S)
    return [("no song", None), ("demo song", SOURCE_DIR / "res" / "demo.mmf"),
            (f"largest corpus file {largest.name} ({largest.stat().st_size} bytes, "
             f"{counts[largest]} events)", largest),
            (f"corpus file with the most events {busiest.name} ({counts[busiest]} events)",
             busiest),
            ("core benchmark song of 1,000,000 events", million)]


def main():
    arguments = sys.argv[1:]
    runs = 3
    if "--runs" in arguments:
        at = arguments.index("--runs")
        runs = int(arguments[at + 1])
        del arguments[at:at + 2]
    bin_dir = pathlib.Path(arguments[0]).resolve()
    corpus = pathlib.Path(arguments[1] if len(arguments) > 1 else SOURCE_DIR.parent / "shared" /
                          "corpus").resolve()
    with tempfile.TemporaryDirectory(prefix="rolvik-first-paint-") as name:
        folder = pathlib.Path(name)
        with desktop(name) as environment:
            for label, song in songs(bin_dir, corpus, folder):
                results = [first_paint(bin_dir, song, folder, environment) for _ in range(runs)]
                done_ms = statistics.median(result[0] for result in results)
                paint_ms = statistics.median(result[1] for result in results)
                print(f"{label}: first paint done {done_ms:.1f} ms after start, the paint itself "
                      f"{paint_ms:.1f} ms (median of {runs})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
