"""Drives the real muranko program in real windows, as a user would.

A Session starts Xvfb on a free display, openbox on it and the program, and stops all three
again whatever happens. Everything it checks is seen from outside the process: the program's
top-level windows (name, size, frame, mapping) through xdotool, xwininfo and xprop, the pixels
of a window through ImageMagick's import, and the exit code. Keys and mouse clicks are
synthetic X events (XTEST, through xdotool) sent to the focused window.
"""

import ctypes
import os
import random
import re
import shutil
import signal
import subprocess
import tempfile
import time

# Client sizes in pixels of the forms, menu bar excluded.
GAME_SIZE = (451, 374)
LAUNCHER_SIZE = (428, 392)
SPLASH_SIZE = (250, 166)

# Display numbers to try, from a random start so that parallel runs rarely meet; below 90 are
# the numbers people use by hand.
DISPLAYS = range(90, 600)


class Failure(AssertionError):
    pass


def wait_until(what, probe, timeout=10.0, interval=0.05):
    """Polls probe until it returns something true and returns that; fails after timeout s."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout:g} s waiting for {what}")
        time.sleep(interval)


def _die_with_parent():
    # A helper process must not outlive a harness killed hard (SIGKILL by a test timeout). The
    # signal comes when the thread that started the process ends: a session stays in one.
    libc = ctypes.CDLL(None, use_errno=True)
    libc.prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG
    os.setsid()


def _stop(process, grace=3.0):
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(grace)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


class Window:
    """One top-level X window of the program, as seen at one moment: its id, name, position and
    client size, whether it is mapped, a popup (override-redirect: a menu or a tooltip), the
    window it is transient for, its frame (left, right, top, bottom, as the window manager
    draws it), its window types and states."""

    def __init__(self, **fields):
        self.__dict__.update(fields)

    @property
    def framed(self):
        return any(self.frame)

    def __repr__(self):
        return (f"Window({self.id} {self.name!r} {self.width}x{self.height}+{self.x}+{self.y}"
                f" frame={self.frame})")


class Session:
    """Xvfb, openbox and one run of the program; use it with `with`."""

    def __init__(self, program):
        self.program_path = os.path.abspath(program)
        self.xvfb = self.wm = self.program = None
        self.display = None
        self._tmp = tempfile.mkdtemp(prefix="muranko-e2e-")
        self._stderr_path = os.path.join(self._tmp, "stderr")

    # --- life cycle ------------------------------------------------------------------------

    def __enter__(self):
        try:
            for attempt in range(5):
                self._start_display()
                try:
                    self._start_window_manager()
                    break
                except Failure:
                    # Seen when a display number was freed and taken again at once by
                    # another run: start afresh on another number.
                    _stop(self.wm)
                    _stop(self.xvfb)
                    if attempt == 4:
                        raise
            self.start_program()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        _stop(self.program)
        _stop(self.wm)
        _stop(self.xvfb)
        shutil.rmtree(self._tmp, ignore_errors=True)
        return False

    def _start_display(self):
        start = random.randrange(len(DISPLAYS))
        for number in list(DISPLAYS[start:]) + list(DISPLAYS[:start]):
            if any(os.path.exists(p) for p in (f"/tmp/.X11-unix/X{number}",
                                               f"/tmp/.X{number}-lock")):
                continue
            read_end, write_end = os.pipe()
            xvfb = subprocess.Popen(
                ["Xvfb", f":{number}", "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                 "-displayfd", str(write_end)],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                preexec_fn=_die_with_parent)
            os.close(write_end)
            with os.fdopen(read_end) as ready:
                answer = ready.read().strip()  # the number once it listens; EOF if it failed
            if answer:
                self.xvfb, self.display = xvfb, f":{answer}"
                return
            xvfb.wait()  # taken meanwhile by someone else: try the next number
        raise Failure("no free X display number")

    def _start_window_manager(self):
        log_path = os.path.join(self._tmp, "openbox.log")
        with open(log_path, "wb") as log:
            self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self._env(),
                                       stdout=log, stderr=log, preexec_fn=_die_with_parent)

        def ready():
            if self.wm.poll() is not None:
                with open(log_path, errors="replace") as log:
                    raise Failure(f"openbox ended with {self.wm.returncode}: {log.read()}")
            return "window id" in self._x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK")
        wait_until("openbox", ready, 5)

    def start_program(self):
        """Starts (or starts again) the program; its stderr is kept for stderr_lines()."""
        runtime_dir = os.path.join(self._tmp, "runtime")
        os.makedirs(runtime_dir, mode=0o700, exist_ok=True)
        env = self._env()
        env["QT_QPA_PLATFORM"] = "xcb"
        env["XDG_RUNTIME_DIR"] = runtime_dir
        # Only read by a sanitizer build.
        suppressions = os.path.join(os.path.dirname(__file__), "lsan.supp")
        env["LSAN_OPTIONS"] = ":".join(filter(None, [env.get("LSAN_OPTIONS"),
                                                     f"suppressions={suppressions}",
                                                     "print_suppressions=0"]))
        with open(self._stderr_path, "ab") as err:
            self.program = subprocess.Popen([self.program_path], env=env,
                                            stdout=subprocess.DEVNULL, stderr=err,
                                            preexec_fn=_die_with_parent)

    def _env(self):
        env = dict(os.environ)
        env["DISPLAY"] = self.display
        env.pop("WAYLAND_DISPLAY", None)
        return env

    def _x(self, *command, check=False):
        try:
            result = subprocess.run(command, env=self._env(), capture_output=True, text=True,
                                    timeout=10)
        except subprocess.TimeoutExpired:
            raise Failure(f"{' '.join(command)} did not answer in 10 s") from None
        if check and result.returncode != 0:
            raise Failure(f"{' '.join(command)} failed: {result.stderr.strip()}")
        return result.stdout

    # --- the program -----------------------------------------------------------------------

    @property
    def pid(self):
        return self.program.pid

    def running(self):
        return self.program.poll() is None

    def wait_exit(self, timeout=5.0):
        """Waits for the program to end and returns its exit code."""
        try:
            return self.program.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure(f"the program still runs {timeout:g} s later") from None

    def stderr_lines(self):
        with open(self._stderr_path, errors="replace") as err:
            return [line.rstrip("\n") for line in err if line.strip()]

    def rss_kb(self):
        with open(f"/proc/{self.pid}/status") as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        return 0

    # --- windows ---------------------------------------------------------------------------

    def _shown(self):
        if not self.running():
            return []
        ids = self._x("xdotool", "search", "--onlyvisible", "--pid", str(self.pid)).split()
        return [w for w in map(self.window_info, ids) if w and w.mapped]

    def windows(self):
        """The program's mapped top-level windows, menus left out. A window transient for
        another of them (a message box) is marked as a box."""
        shown = [w for w in self._shown() if not w.popup]
        ids = {int(w.id) for w in shown}
        for w in shown:
            w.box = w.transient_for in ids
        return shown

    def menu_open(self):
        return any(w.popup for w in self._shown())

    def menu_drawn(self):
        """True once an open menu shows its entries (it takes the keys from then on)."""
        for popup in (w for w in self._shown() if w.popup):
            try:
                frame = self.grab(popup)
            except Failure:
                return False
            return len(set(frame.rgb[i:i + 3] for i in range(0, len(frame.rgb), 3 * 7))) > 2
        return False

    def window_info(self, wid):
        info = self._x("xwininfo", "-id", wid)
        if "Absolute upper-left X" not in info:
            return None  # gone meanwhile

        def number(label):
            return int(re.search(label + r":\s+(-?\d+)", info).group(1))

        props = self._x("xprop", "-id", wid, "_NET_WM_NAME", "_NET_FRAME_EXTENTS",
                        "_NET_WM_WINDOW_TYPE", "_NET_WM_STATE", "WM_TRANSIENT_FOR")

        def atoms(prop, prefix):
            found = re.search(prop + r"\(ATOM\) = (.*)", props)
            return [a.strip().replace(prefix, "") for a in found.group(1).split(",")
                    if a.strip()] if found else []
        name = re.search(r'_NET_WM_NAME\(UTF8_STRING\) = "(.*)"', props)
        frame = re.search(r"_NET_FRAME_EXTENTS\(CARDINAL\) = ([\d, ]+)", props)
        transient = re.search(r"WM_TRANSIENT_FOR\(WINDOW\): window id # (0x[0-9a-f]+)", props)
        return Window(
            id=wid, name=name.group(1) if name else "",
            x=number("Absolute upper-left X"), y=number("Absolute upper-left Y"),
            width=number("Width"), height=number("Height"),
            mapped="IsViewable" in info,
            popup="Override Redirect State: yes" in info,
            transient_for=int(transient.group(1), 16) if transient else None,
            frame=tuple(int(v) for v in frame.group(1).split(",")) if frame else (0, 0, 0, 0),
            types=atoms("_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_"),
            states=atoms("_NET_WM_STATE", "_NET_WM_STATE_"))

    def find(self, name, size=None, framed=None, exclude=()):
        """The program's windows named `name` (and of that client size / frame), if shown,
        leaving out the windows whose ids are in exclude."""
        def matches(w):
            return (w.name == name and (size is None or (w.width, w.height) == size)
                    and (framed is None or w.framed == framed) and w.id not in exclude)
        return [w for w in self.windows() if matches(w)]

    def wait_window(self, name, timeout=10.0, **kwargs):
        found = wait_until(f"a new window {name!r}",
                           lambda: self.find(name, **kwargs), timeout)
        return found[0]

    def wait_gone(self, window, timeout=5.0):
        wait_until(f"{window} to go",
                   lambda: all(w.id != window.id for w in self.windows()), timeout)

    # --- input -----------------------------------------------------------------------------

    def activate(self, window):
        self._x("xdotool", "windowactivate", window.id)
        wait_until(f"{window} to have the focus", lambda: self.active() == window.id, 5)

    def active(self):
        return self._x("xdotool", "getactivewindow").strip()

    def minimise(self, window):
        self._x("xdotool", "windowminimize", "--sync", window.id, check=True)

    def destroy(self, window):
        """Destroys the X window from outside, as a crashing window manager or a tool would."""
        self._x("xdotool", "windowclose", window.id, check=True)

    def keys(self, window, *keys, delay_ms=40):
        """Activates the window, then presses and releases each key (xdotool key names)."""
        self.activate(window)
        self._x("xdotool", "key", "--delay", str(delay_ms), *keys, check=True)

    def menu(self, window, access_key, *entry_keys):
        """Opens a menu with Alt and its access key, then types the keys of the entry."""
        self.keys(window, f"alt+{access_key}")
        wait_until("the menu to open", self.menu_drawn, 5)
        self._x("xdotool", "key", "--delay", "40", *entry_keys, check=True)
        wait_until("the menu to close", lambda: not self.menu_open(), 5)

    def click_close_box(self, window):
        """Brings the window to the front and clicks the close box at the end of its title bar."""
        self.activate(window)
        _, right, top, _ = window.frame
        if not top:
            raise Failure(f"{window} has no title bar")
        x = window.x + window.width + right - top // 2
        y = window.y - top // 2
        self._x("xdotool", "mousemove", str(x), str(y), "click", "1", check=True)

    # --- pixels ----------------------------------------------------------------------------

    def screenshot(self, path):
        subprocess.run(["import", "-silent", "-window", "root", path], env=self._env(),
                       capture_output=True, timeout=10)

    def grab(self, window):
        """The window's client area, menu bar included."""
        raw = subprocess.run(["import", "-silent", "-window", window.id, "-depth", "8", "rgb:-"],
                             env=self._env(), capture_output=True, timeout=10).stdout
        if len(raw) != window.width * window.height * 3:
            raise Failure(f"could not read the pixels of {window}")
        return Frame(window.width, window.height, raw)

    def still(self, window, seconds=0.8):
        """True when nothing in the window changes for `seconds`."""
        first = self.grab(window)
        time.sleep(seconds)
        return first.changed(self.grab(window)) == 0

    def wait_moving(self, window, timeout=3.0):
        """Waits until something in the window changes (a running game animates every 0.5 s)."""
        first = self.grab(window)
        wait_until(f"{window} to change", lambda: first.changed(self.grab(window)), timeout, 0.1)


class Frame:
    """A window's pixels: width × height RGB triples, row by row."""

    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb

    def _rows(self, box):
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        for y in range(y0, y1):
            start = (y * self.width + x0) * 3
            yield start, start + (x1 - x0) * 3

    def changed(self, other, box=None):
        """Pixels that differ from other's, within box (x0, y0, x1, y1) or everywhere."""
        count = 0
        for start, end in self._rows(box):
            a, b = self.rgb[start:end], other.rgb[start:end]
            if a != b:
                count += sum(1 for i in range(0, end - start, 3) if a[i:i + 3] != b[i:i + 3])
        return count

    def count(self, test, box):
        """Pixels within box whose (r, g, b) pass test."""
        return sum(1 for start, end in self._rows(box)
                   for i in range(start, end, 3) if test(*self.rgb[i:i + 3]))
