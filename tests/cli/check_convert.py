#!/usr/bin/env python3
"""Runs `rolvik-cli convert` over a small folder with a bad file in it and checks what a user sees:
the exit status, the summary, the names of the outputs, no temporary file left, the same bytes for
any number of jobs, and a clean stop on Ctrl+C.

usage: check_convert.py ROLVIK_CLI SOURCE_DIR CORPUS_DIR
"""
import json
import pathlib
import signal
import subprocess
import sys
import tempfile

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)


def run(cli, *arguments):
    return subprocess.run([cli, "convert", *map(str, arguments)], capture_output=True, text=True,
                          timeout=600)


def files_under(folder):
    return sorted(str(p.relative_to(folder)) for p in folder.rglob("*") if p.is_file())


def make_collection(cli, root, source, corpus):
    songs = root / "songs"
    (songs / "sub").mkdir(parents=True)
    demo = (source / "res" / "demo.mmf").read_bytes()
    (songs / "demo.mmf").write_bytes(demo)
    (songs / "sub" / "Bell.MMF").write_bytes((corpus / "dlunch__bell.mmf").read_bytes())
    subprocess.run([cli, "midi", songs / "demo.mmf", root / "tune"], check=True)
    (songs / "sub" / "tune.bin").write_bytes((root / "tune").read_bytes())  # MIDI by content
    (songs / "broken.mmf").write_bytes(demo[:200])
    (songs / "notes.txt").write_text("not a song")
    return songs


def check_batch(cli, root, songs):
    out = root / "out"
    result = run(cli, songs, "--format", "flac", "--out", out, "--jobs", "1", "--summary",
                 root / "summary.json")
    check(result.returncode == 1, f"a batch with a bad file exits {result.returncode}, not 1")
    check("3 converted, 1 failed, 1 skipped" in result.stdout, "summary: " + result.stdout)
    check(f"{songs / 'broken.mmf'}: Error: Load failed!" in result.stdout,
          "the failure line names the file and the load message: " + result.stdout)
    check(files_under(out) == ["demo.flac", "sub/Bell.flac", "sub/tune.flac"],
          f"outputs: {files_under(out)}")
    summary = json.loads((root / "summary.json").read_text())
    check((summary["converted"], summary["failed"], summary["skipped"]) == (3, 1, 1),
          f"summary file: {summary}")
    check(not list(root.rglob("*.rolvik-tmp")), "a temporary file is left")

    again = run(cli, songs, "--format", "flac", "--out", root / "out2", "--jobs", "2")
    check(again.returncode == 1, f"the batch with two jobs exits {again.returncode}")
    for name in files_under(out):
        check((out / name).read_bytes() == (root / "out2" / name).read_bytes(),
              f"{name} differs between one job and two")

    kept = run(cli, songs / "demo.mmf", "--format", "flac", "--out", out)
    check(kept.returncode == 1 and "exists already" in kept.stdout,
          "an existing output is replaced without --overwrite")
    replaced = run(cli, songs / "demo.mmf", "--format", "flac", "--out", out, "--overwrite")
    check(replaced.returncode == 0, f"--overwrite exits {replaced.returncode}")

    usage = run(cli, songs, "--format", "xm")
    check(usage.returncode == 2, f"an unknown format exits {usage.returncode}, not 2")


def check_stop(cli, root, songs):
    many = root / "many"
    many.mkdir()
    copies = 40
    for i in range(copies):
        (many / f"song{i:02}.mmf").write_bytes((songs / "demo.mmf").read_bytes())
    out = root / "stopped"
    process = subprocess.Popen([cli, "convert", many, "--format", "wav", "--out", out,
                                "--jobs", "2"], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                               text=True)
    process.stderr.readline()  # the first file done: the others are in work or waiting
    process.send_signal(signal.SIGINT)
    stdout, _ = process.communicate(timeout=120)
    check(process.returncode == 130, f"Ctrl+C exits {process.returncode}, not 130")
    check("Stopped." in stdout, "no summary after Ctrl+C: " + stdout)
    check(not list(out.rglob("*.rolvik-tmp")) if out.exists() else True,
          "Ctrl+C leaves a temporary file")
    whole = root / "whole"
    subprocess.run([cli, "convert", many / "song00.mmf", "--format", "wav", "--out", whole],
                   check=True, capture_output=True)
    expected = (whole / "song00.wav").read_bytes()
    written = sorted(out.glob("*.wav")) if out.exists() else []
    check(len(written) < copies, "Ctrl+C did not stop the batch")
    for path in written:
        check(path.read_bytes() == expected, f"{path.name} is not whole after Ctrl+C")


def main():
    cli, source, corpus = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
    with tempfile.TemporaryDirectory() as folder:
        root = pathlib.Path(folder)
        songs = make_collection(cli, root, source, corpus)
        check_batch(cli, root, songs)
        check_stop(cli, root, songs)
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
