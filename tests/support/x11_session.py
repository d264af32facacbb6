"""A throw-away desktop for driving the real program: an Xvfb display and a PulseAudio server with
one null sink, both private to a temporary folder, started and stopped by process id."""

import contextlib
import ctypes
import os
import re
import select
import signal
import subprocess
import time

STARTUP_TIMEOUT_S = 20
STOP_TIMEOUT_S = 5
SINK = "rolvik_e2e"
STEP_TIMEOUT_S = 20


def _die_with_parent():
    # PR_SET_PDEATHSIG: the child gets SIGTERM when the script ends, however it ends.
    ctypes.CDLL(None, use_errno=True).prctl(1, signal.SIGTERM)


def spawn(arguments, **options):
    """Starts a process that cannot outlive the script, even when the script is killed."""
    return subprocess.Popen(arguments, preexec_fn=_die_with_parent, **options)


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=STOP_TIMEOUT_S)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def wait_until(condition, timeout_s, what):
    deadline = time.monotonic() + timeout_s
    while time.monotonic() < deadline:
        if condition():
            return
        time.sleep(0.1)
    raise TimeoutError(f"timed out waiting for {what}")


def start_xvfb(stack, geometry):
    """Starts Xvfb on the first free display and returns the display's name (":N")."""
    reader, writer = os.pipe()
    process = spawn(["Xvfb", "-displayfd", str(writer), "-screen", "0", geometry,
                     "-nolisten", "tcp"], pass_fds=(writer,),
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    stack.callback(stop, process)
    os.close(writer)
    number = b""
    with os.fdopen(reader, "rb", buffering=0) as pipe:
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([pipe], [], [], STARTUP_TIMEOUT_S)
            chunk = pipe.read(1) if ready else b""
            if not chunk:
                raise RuntimeError("Xvfb did not start")
            number += chunk
    return ":" + number.decode().strip()


def start_pulseaudio(stack, folder, environment):
    """Starts a PulseAudio server with a null sink as the default output. It runs as whatever
    user runs the test (root in CI) and keeps its state in the folder."""
    socket = os.path.join(folder, "pulse.sock")
    process = spawn(
        ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--system=false",
         "--use-pid-file=no", "--disallow-exit", "--disable-shm=yes", "--log-target=stderr",
         "--log-level=error", "-L", f"module-null-sink sink_name={SINK}",
         "-L", f"module-native-protocol-unix auth-anonymous=1 socket={socket}"],
        env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    stack.callback(stop, process)
    environment["PULSE_SERVER"] = "unix:" + socket
    wait_until(lambda: subprocess.run(["pactl", "info"], env=environment, capture_output=True,
                                      timeout=STARTUP_TIMEOUT_S).returncode == 0,
               STARTUP_TIMEOUT_S, "PulseAudio")


@contextlib.contextmanager
def desktop(folder, geometry="1280x800x24"):
    """Yields the environment for programs on the private display with the private sound server."""
    runtime = os.path.join(folder, "runtime")
    os.mkdir(runtime, 0o700)
    environment = {key: value for key, value in os.environ.items()
                   if key not in ("ROLVIK_AUDIO", "ROLVIK_ENGINE", "QT_QPA_PLATFORM")}
    environment.update(HOME=folder, XDG_RUNTIME_DIR=runtime, XDG_CONFIG_HOME=folder)
    with contextlib.ExitStack() as stack:
        environment["DISPLAY"] = start_xvfb(stack, geometry)
        wait_until(lambda: subprocess.run(["xdotool", "getdisplaygeometry"], env=environment,
                                          capture_output=True, timeout=STARTUP_TIMEOUT_S)
                   .returncode == 0, STARTUP_TIMEOUT_S, "the X display")
        start_pulseaudio(stack, folder, environment)
        yield environment


def xdotool(environment, *arguments, check=True):
    return subprocess.run(["xdotool", *arguments], env=environment, capture_output=True, text=True,
                          timeout=STEP_TIMEOUT_S, check=check).stdout.rstrip("\n")


def find_window(environment, name, other_than=None):
    """The id of the visible top-level window whose title matches, once it is there; not the
    window `other_than`, when a message box has the title of the dialog it belongs to."""
    found = []

    def shown():
        found[:] = [window for window in xdotool(environment, "search", "--onlyvisible", "--name",
                                                 name, check=False).split()
                    if window != other_than]
        return bool(found)

    wait_until(shown, STEP_TIMEOUT_S, f"a window named {name!r}")
    return found[0]


class Window:
    """A top-level window of the program, reached through the X server only, as a user would."""

    def __init__(self, environment, name, other_than=None):
        self.environment = environment
        self.id = find_window(environment, name, other_than)

    def xdotool(self, *arguments, check=True):
        return xdotool(self.environment, *arguments, check=check)

    def title(self):
        return self.xdotool("getwindowname", self.id)

    def press(self, *keys):
        """Gives the window the keyboard focus and presses the keys on the keyboard."""
        self.xdotool("windowfocus", "--sync", self.id)
        self.xdotool("key", "--clearmodifiers", *keys)

    def type(self, text):
        self.xdotool("windowfocus", "--sync", self.id)
        self.xdotool("type", "--delay", "20", text)

    def wait_for_title(self, pattern):
        wait_until(lambda: re.fullmatch(pattern, self.title()), STEP_TIMEOUT_S,
                   f"the title to read {pattern!r} (it reads {self.title()!r})")

    def wait_closed(self):
        wait_until(lambda: not self.xdotool("search", "--onlyvisible", "--name", ".*", check=False)
                   .split().count(self.id), STEP_TIMEOUT_S, f"window {self.id} to close")


# The main window's title with no document or when not playing, as a POSIX regular expression
# (xdotool's dialect).
MAIN_WINDOW = r"^Rolvik( [0-9]{5}ms)?$"
