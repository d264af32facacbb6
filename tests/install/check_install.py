#!/usr/bin/python3
"""Installs the build into a temporary DESTDIR with `cmake --install` and checks the tree: the
programs with the engine library and the voice set beside them, working links in bin/, the desktop
entry (desktop-file-validate) and the icon in the hicolor theme at the sizes its folders name.

Usage: check_install.py BUILD_DIR SOURCE_DIR PROGRAM... [--gui]
"""

import os
import pathlib
import struct
import subprocess
import sys
import tempfile

PREFIX = "usr"
PROGRAM_DIR = "lib/rolvik"
STEP_TIMEOUT_S = 120

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
    return condition


def png_size(path):
    header = path.read_bytes()[:24]
    if header[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", header[16:24])


def check_programs(root, source, programs):
    program_dir = root / PROGRAM_DIR
    for name in programs:
        check(os.access(program_dir / name, os.X_OK), f"{PROGRAM_DIR}/{name} is not an executable")
        link = root / "bin" / name
        if check(link.is_symlink(), f"bin/{name} is not a link"):
            check(not os.path.isabs(os.readlink(link)), f"bin/{name} links by absolute path")
            check(link.resolve() == (program_dir / name).resolve(),
                  f"bin/{name} does not lead to {PROGRAM_DIR}/{name}")
    check((program_dir / "librolvik-engine.so").is_file(), "the engine library is missing")
    for name in ("DefMA3_16.vm3", "DefMA3_16.LICENSE"):
        installed = program_dir / name
        original = (source / "res" / name).read_bytes()
        check(installed.is_file() and installed.read_bytes() == original,
              f"{PROGRAM_DIR}/{name} is missing or differs from res/{name}")


def check_engine_is_found(root, source):
    """Plays the last half second of the demo song through the installed link in bin/, so the
    engine must be found beside the real executable."""
    environment = {k: v for k, v in os.environ.items() if k != "ROLVIK_ENGINE"}
    environment["ROLVIK_AUDIO"] = "null"
    result = subprocess.run([root / "bin" / "rolvik-cli", "play", source / "res" / "demo.mmf",
                             "--from", "32000"], capture_output=True, env=environment,
                            cwd=tempfile.gettempdir(), timeout=STEP_TIMEOUT_S)
    check(result.returncode == 0, "the installed rolvik-cli cannot play: "
          + result.stderr.decode(errors="replace"))


def check_desktop_entry(root, programs):
    entry = root / "share/applications/rolvik.desktop"
    if not check(entry.is_file(), "the desktop entry is missing"):
        return
    result = subprocess.run(["desktop-file-validate", entry], capture_output=True, text=True,
                            timeout=STEP_TIMEOUT_S)
    check(result.returncode == 0 and not result.stdout.strip(),
          "desktop-file-validate: " + result.stdout + result.stderr)
    keys = dict(line.split("=", 1) for line in entry.read_text().splitlines() if "=" in line)
    check("application/vnd.smaf" in keys.get("MimeType", "").split(";"),
          "the entry does not declare application/vnd.smaf")
    check(keys.get("Exec", "").split()[0] in programs,
          "the entry's Exec names no installed program")
    check(keys.get("Icon") == "rolvik", "the entry's icon is not rolvik")


def check_icons(root):
    hicolor = root / "share/icons/hicolor"
    check((hicolor / "scalable/apps/rolvik.svg").is_file(), "the scalable icon is missing")
    sizes = []
    for icon in sorted(hicolor.glob("*x*/apps/rolvik.png")):
        width, height = icon.parent.parent.name.split("x")
        check(png_size(icon) == (int(width), int(height)),
              f"{icon.relative_to(hicolor)} is not a {width}x{height} PNG")
        sizes.append(int(width))
    check(16 in sizes and 256 in sizes, f"icon sizes {sizes} do not run from 16 to 256")


def main():
    arguments = [a for a in sys.argv[1:] if a != "--gui"]
    gui = "--gui" in sys.argv
    build, source = pathlib.Path(arguments[0]).resolve(), pathlib.Path(arguments[1]).resolve()
    programs = arguments[2:]
    with tempfile.TemporaryDirectory(prefix="rolvik-install-") as destdir:
        result = subprocess.run(["cmake", "--install", build, "--prefix", "/" + PREFIX],
                                capture_output=True, text=True, timeout=STEP_TIMEOUT_S,
                                env={**os.environ, "DESTDIR": destdir})
        if result.returncode != 0:
            print(result.stdout + result.stderr)
            return 1
        root = pathlib.Path(destdir) / PREFIX
        check_programs(root, source, programs)
        check_engine_is_found(root, source)
        if gui:
            check_desktop_entry(root, programs)
            check_icons(root)
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
