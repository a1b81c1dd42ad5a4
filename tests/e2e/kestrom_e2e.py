"""Shared machinery of the end-to-end scenarios.

Every tests/e2e/test_*.py is run by ctest as
    python3 test_x.py --exe Kestrom.exe --driver uidriver.exe --artifacts DIR
inside one virtual display (tools/with_display.sh). A scenario subclasses
KestromTestCase and ends with `kestrom_e2e.main()`.

Windows programs run through tools/wine_run.sh, so they use the project's
Wine prefix (KESTROM_WINEPREFIX when set). Window texts come back as Python
strings in which every character is one ANSI byte of the window's text
(Latin-1 code points): `text.encode("latin-1")` gives the bytes exactly.
"""

import argparse
import json
import os
import re
import socket
import subprocess
import sys
import tempfile
import time
import unittest
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
WINE_RUN = ROOT / "tools" / "wine_run.sh"
WITH_DISPLAY = ROOT / "tools" / "with_display.sh"


class Config:
    """The options ctest passes; filled by main()."""

    exe: Path = None
    driver: Path = None
    artifacts: Path = None


# How long a scenario waits for what must happen (a window, a process, a
# run's end) before it calls it a hang. Far above what any machine that
# runs the suite needs, emulated ones included: only a hang reaches it.
HANG_BOUND = 600


class DriverError(Exception):
    """The UI driver failed: window not found, time-out, no answer."""


@dataclass(frozen=True)
class Rect:
    left: int
    top: int
    right: int
    bottom: int

    @property
    def width(self):
        return self.right - self.left

    @property
    def height(self):
        return self.bottom - self.top

    @classmethod
    def of(cls, values):
        return cls(*values)


@dataclass(frozen=True)
class Window:
    """One window or control as the driver reported it."""

    hwnd: str
    cls: str
    text: str
    id: int
    style: int
    visible: bool
    enabled: bool
    rect: Rect
    pid: int
    checked: bool = False
    parent: str = None
    depth: int = 0

    @classmethod
    def of(cls, record):
        return cls(record["hwnd"], record["class"], record["text"], record["id"],
                   record["style"], record["visible"], record["enabled"], Rect.of(record["rect"]),
                   record["pid"], record.get("checked", False), record.get("parent"), record.get("depth", 0))


@dataclass(frozen=True)
class Geometry:
    """A window's outer rectangle and its client area, in screen pixels."""

    rect: Rect
    client: Rect


def _spec(window):
    return window.hwnd if isinstance(window, Window) else str(window)


def wine(*args, timeout=60, check=True, cwd=None):
    """Runs a Windows program in the project's prefix; returns the completed process."""
    # Output goes through files, not pipes: the first Wine program of a
    # session starts Wine's background services, which inherit its output
    # handles and would keep a pipe open long after the program has ended.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        returncode = subprocess.run([str(WINE_RUN), *map(str, args)], stdin=subprocess.DEVNULL,
                                    stdout=out, stderr=err, timeout=timeout, cwd=cwd).returncode
        out.seek(0)
        err.seek(0)
        result = subprocess.CompletedProcess(args, returncode, out.read(), err.read())
    if check and result.returncode != 0:
        # Wine's console programs (reg.exe among them) report on stdout.
        raise RuntimeError("wine %s failed (%d): %s" % (
            " ".join(map(str, args)), result.returncode,
            (result.stdout + result.stderr).decode("utf-8", "replace").strip()))
    return result


def clock_starting_at(moment):
    """The environment that starts a program's wall clock (and so its local
    time) at moment, a datetime in local time, and lets it run on from there:
    tools/fake_clock, built beside Kestrom.exe, preloaded into Wine's 32-bit
    loader (the 64-bit programs in between skip it, with a warning)."""
    library = Config.exe.parent / "fake_clock.so"
    if not library.exists():
        raise RuntimeError("%s is missing: it is built with Kestrom.exe" % library)
    return {"LD_PRELOAD": str(library), "KESTROM_CLOCK_START": str(int(moment.timestamp()))}


def wine_prefix():
    """The project's Wine prefix, as tools/wine_env.sh chooses it."""
    return Path(os.environ.get("KESTROM_WINEPREFIX") or ROOT / "build" / "wineprefix")


def windows_path(path):
    """The Wine (drive Z:) name of a Linux path."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


class Driver:
    """tools/uidriver under Wine. A window argument is a Window, a handle
    ("0x...") or the exact caption of a visible top-level window; captions
    are waited for up to timeout_ms."""

    def __init__(self, path):
        self.path = Path(path)

    def run(self, *args, timeout_ms=30000, pid=None, exe=None, all=False, extra=()):
        command = [self.path, *args, "--timeout", timeout_ms, *extra]
        if pid is not None:
            command += ["--pid", pid]
        if exe is not None:
            command += ["--exe", exe]
        if all:
            command.append("--all")
        result = wine(*command, timeout=timeout_ms / 1000 + 60, check=False)
        if result.returncode != 0 and not result.stderr:
            # The driver states every failure of its own; a silent one is
            # Wine failing to start it, which is worth one more try.
            time.sleep(1)
            result = wine(*command, timeout=timeout_ms / 1000 + 60, check=False)
        if result.returncode != 0:
            raise DriverError(result.stderr.decode("latin-1").strip()
                              or "uidriver exited with %d" % result.returncode)
        # Each byte >= 0x80 arrives escaped as \u00XX, so the output is ASCII.
        return [json.loads(line) for line in result.stdout.decode("ascii").splitlines() if line]

    def wait(self, caption, timeout_ms=HANG_BOUND * 1000, pid=None, exe=None, all=False):
        """The top-level window with this exact caption, once it is there."""
        return Window.of(self.run("wait", caption, timeout_ms=timeout_ms, pid=pid, exe=exe, all=all)[0])

    def wait_gone(self, window, timeout_ms=HANG_BOUND * 1000, pid=None, exe=None):
        """Returns once the window is hidden or destroyed; DriverError on time-out."""
        self.run("wait-gone", _spec(window), timeout_ms=timeout_ms, pid=pid, exe=exe)

    def windows(self, pid=None, exe=None, all=False):
        """Top-level windows (visible ones unless all), of one process when given."""
        return [Window.of(r) for r in self.run("windows", pid=pid, exe=exe, all=all)]

    def processes(self, exe=None):
        """Windows process ids, of the programs named exe when given."""
        return [r["pid"] for r in self.run("processes", exe=exe)]

    def children(self, window):
        """Every descendant control, depth first, with parent and depth."""
        return [Window.of(r) for r in self.run("children", _spec(window))]

    def child(self, window, cls=None, text=None, id=None):
        """The one descendant matching every criterion given."""
        found = [c for c in self.children(window)
                 if (cls is None or c.cls.lower() == cls.lower())
                 and (text is None or c.text == text) and (id is None or c.id == id)]
        if len(found) != 1:
            raise DriverError("%d controls match class=%r text=%r id=%r" % (len(found), cls, text, id))
        return found[0]

    def geometry(self, window):
        record = self.run("rect", _spec(window))[0]
        return Geometry(Rect.of(record["rect"]), Rect.of(record["client"]))

    def text(self, window):
        """The full text (WM_GETTEXT) of a window or control."""
        return self.run("text", _spec(window))[0]["text"]

    def click(self, window, caption=None):
        """Clicks the button captioned caption in window (mnemonic '&' ignored),
        or the control window itself. Posted: returns at once, even when the
        click opens a modal dialog."""
        return Window.of(self.run("click", _spec(window), *([caption] if caption is not None else []))[0])

    def set_text(self, window, text):
        """Sets the text of a window or control. One that does not take it
        yet (its program still busy making it, and so taken for hung) is
        asked again until only a hang would keep it from taking it."""
        deadline = time.monotonic() + HANG_BOUND
        while True:
            try:
                self.run("set-text", _spec(window), text)
                return
            except DriverError:
                if time.monotonic() > deadline:
                    raise
                time.sleep(0.2)

    def move(self, window, x=None, y=None, width=None, height=None):
        """SetWindowPos; None keeps a value. Returns the geometry after the
        program has handled the change."""
        values = ["-" if v is None else v for v in (x, y, width, height)]
        record = self.run("move", _spec(window), *values)[0]
        return Geometry(Rect.of(record["rect"]), Rect.of(record["client"]))

    def close(self, window, sys_command=False):
        """Posts WM_CLOSE, or WM_SYSCOMMAND SC_CLOSE (the close box) with sys_command."""
        self.run("close", _spec(window), extra=["--sc"] if sys_command else [])

    def key(self, window, name):
        """Posts a key (enter, escape, tab, space, up, down, left, right) to
        the window's focused control."""
        self.run("key", _spec(window), name)

    def screen(self):
        """{"width", "height", "dpi"} of the screen."""
        return self.run("screen")[0]


class KestromProcess:
    """Kestrom.exe started under Wine with arguments."""

    def __init__(self, driver, exe, args, workdir, log, env=None):
        self.driver = driver
        self.exe_name = Path(exe).name
        before = set(driver.processes(exe=self.exe_name))
        self._log = open(log, "ab")
        self.popen = subprocess.Popen([str(WINE_RUN), str(exe), *args], cwd=workdir,
                                      env={**os.environ, **(env or {})},
                                      stdin=subprocess.DEVNULL, stdout=self._log, stderr=subprocess.STDOUT)
        self.pid = self._windows_pid(before)

    def _windows_pid(self, before, timeout=HANG_BOUND):
        """The Windows process id (Wine's, not the Linux one) of the new process."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            new = set(self.driver.processes(exe=self.exe_name)) - before
            if len(new) == 1:
                return new.pop()
            if self.popen.poll() is not None:
                return None
            time.sleep(0.2)
        raise DriverError("%s did not start within %d s" % (self.exe_name, timeout))

    def wait_window(self, caption, timeout_ms=HANG_BOUND * 1000):
        return self.driver.wait(caption, timeout_ms=timeout_ms, pid=self.pid)

    def exit_code(self, timeout=HANG_BOUND):
        """The exit code; raises subprocess.TimeoutExpired while it runs on."""
        return self.popen.wait(timeout=timeout)

    def running(self):
        return self.popen.poll() is None

    def kill(self):
        if self.popen.poll() is None and self.pid is not None:
            try:
                self.driver.run("terminate", pid=self.pid)
                self.popen.wait(timeout=30)
            except (DriverError, subprocess.TimeoutExpired):
                pass
        if self.popen.poll() is None:
            self.popen.kill()
            self.popen.wait(timeout=30)
        self._log.close()


class Registry:
    """HKEY_CURRENT_USER and friends through Wine's reg.exe. Values are read
    from an export, which keeps every character exactly."""

    def __init__(self, scratch):
        self.scratch = Path(scratch)

    def set(self, key, name, value, view32=False):
        """An int is written as REG_DWORD, a str as REG_SZ."""
        self.change({key: {name: value}}, view32=view32)

    def change(self, keys, deleted=(), view32=False):
        """Deletes the keys in deleted (with their sub-keys), then sets
        {key: {name: value}}, all in one reg import: every Wine program
        start costs a second or two under an emulator. view32: in the
        registry as 32-bit programs see it (HKLM\\Software is then
        Software\\WOW6432Node on a 64-bit prefix)."""
        lines = ["Windows Registry Editor Version 5.00", ""]
        lines += ["[-%s]" % self._full_name(key) for key in deleted]
        for key, values in keys.items():
            lines += ["", "[%s]" % self._full_name(key)]
            lines += ['"%s"=%s' % (_escape(name), "dword:%08x" % value if isinstance(value, int)
                                   else '"%s"' % _escape(value)) for name, value in values.items()]
        self.scratch.mkdir(parents=True, exist_ok=True)
        script = self.scratch / "registry_import.reg"
        script.write_bytes(("\r\n".join(lines) + "\r\n").encode("utf-16"))
        wine("reg", "import", windows_path(script), *(["/reg:32"] if view32 else []))
        script.unlink()

    def delete_key(self, key):
        """Deletes the key with its sub-keys; nothing happens when it is absent."""
        if self.exists(key):
            wine("reg", "delete", key, "/f")

    def delete_value(self, key, name, view32=False):
        wine("reg", "delete", key, "/v", name, "/f", *(["/reg:32"] if view32 else []), check=False)

    def exists(self, key):
        return wine("reg", "query", key, check=False).returncode == 0

    def values(self, key):
        """{name: value} of the key's own values: int for REG_DWORD, str for
        REG_SZ, ("hex(N)", bytes) for any other type; {} when the key is absent."""
        return self.tree(key).get(self._full_name(key), {})

    def tree(self, key):
        """{full key name: values} of the key and every sub-key."""
        if not self.exists(key):
            return {}
        self.scratch.mkdir(parents=True, exist_ok=True)
        export = self.scratch / "registry_export.reg"
        wine("reg", "export", key, windows_path(export), "/y")
        text = export.read_bytes().decode("utf-16")
        export.unlink()
        return _parse_reg_export(text)

    @staticmethod
    def _full_name(key):
        abbreviations = {"HKCU": "HKEY_CURRENT_USER", "HKLM": "HKEY_LOCAL_MACHINE"}
        root, _, rest = key.partition("\\")
        return abbreviations.get(root.upper(), root) + ("\\" + rest if rest else "")


_REG_VALUE = re.compile(r'^(@|"(?:[^"\\]|\\.)*")=(.*)$')


def _escape(text):
    return text.replace("\\", "\\\\").replace('"', '\\"')


def _unescape(quoted):
    return re.sub(r"\\(.)", r"\1", quoted[1:-1])


def _parse_reg_export(text):
    keys = {}
    current = None
    # Long binary values continue on the next line after a backslash.
    for line in text.replace("\\\r\n  ", "").splitlines():
        if line.startswith("[") and line.endswith("]"):
            current = keys.setdefault(line[1:-1], {})
            continue
        match = _REG_VALUE.match(line)
        if not match or current is None:
            continue
        name = "" if match.group(1) == "@" else _unescape(match.group(1))
        data = match.group(2)
        if data.startswith('"'):
            current[name] = _unescape(data)
        elif data.startswith("dword:"):
            current[name] = int(data[6:], 16)
        else:
            kind, _, hexes = data.partition(":")
            current[name] = (kind, bytes(int(h, 16) for h in hexes.split(",") if h))
    return keys


def screenshot(path, rect=None):
    """Saves the whole screen, or the rectangle rect of it, as a PNG file."""
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    command = ["import", "-display", os.environ["DISPLAY"], "-window", "root"]
    if rect is not None:
        command += ["-crop", "%dx%d+%d+%d" % (rect.width, rect.height, rect.left, rect.top), "+repage"]
    subprocess.run(command + [str(path)], check=True, timeout=60)
    return path


class LocalServer:
    """One of the project's servers (tools/*/*_server.py) serving a scenario
    on 127.0.0.1, on a port of the system's choosing, with its port file,
    request log and output in folder."""

    script = None  # set by each subclass

    def __init__(self, folder, options=(), port=0, time_limit=400):
        folder.mkdir(parents=True, exist_ok=True)
        self.log_path = folder / "requests.log"
        self.port_path = folder / "port"
        self.log_path.write_bytes(b"")
        if self.port_path.exists():
            self.port_path.unlink()
        self._out = open(folder / "server.out", "ab")
        self.process = subprocess.Popen(
            [sys.executable, str(self.script), "serve", "--port", str(port), "--port-file", str(self.port_path),
             "--log", str(self.log_path), "--time-limit", str(time_limit), *options],
            stdin=subprocess.DEVNULL, stdout=self._out, stderr=subprocess.STDOUT)
        deadline = time.monotonic() + 30
        while not (self.port_path.exists() and self.port_path.read_text().strip()):
            if self.process.poll() is not None or time.monotonic() > deadline:
                self.stop()
                raise RuntimeError("%s did not start: see %s" % (self.script.name, folder / "server.out"))
            time.sleep(0.05)
        self.port = int(self.port_path.read_text())

    @property
    def host(self):
        return "127.0.0.1:%d" % self.port

    def requests(self):
        """[(path and query, user agent)] in the order they came."""
        lines = self.log_path.read_bytes().decode("latin-1").splitlines()
        return [tuple(line.split("\t", 1)) for line in lines]

    def targets(self):
        return [target for target, _ in self.requests()]

    def wait_requests(self, count, timeout):
        deadline = time.monotonic() + timeout
        while len(self.requests()) < count and time.monotonic() < deadline:
            time.sleep(0.1)
        return len(self.requests()) >= count

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(15)
        self._out.close()


SETTINGS_KEY = "HKCU\\Software\\Kestrom"
DEFAULTS_KEY = SETTINGS_KEY + "\\Defaults"
# The machine's key of the program, where "Update Key" lives (in the
# registry's 32-bit view, as the 32-bit program reads it).
MACHINE_KEY = "HKLM\\Software\\Kestrom"


def closed_port():
    """A local port that nothing listens on (it was free a moment ago)."""
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class KestromTestCase(unittest.TestCase):
    """Base of the scenarios: a driver, the registry, artifacts, and
    Kestrom processes that never outlive their test.

    Every test starts without settings, with both server hosts pointed at a
    local port where nothing listens: no scenario reaches the internet, and
    a fetch that should not happen fails at once instead of hanging."""

    def setUp(self):
        self.driver = Driver(Config.driver)
        self.artifacts = Config.artifacts / Path(sys.argv[0]).stem
        self.artifacts.mkdir(parents=True, exist_ok=True)
        self.registry = Registry(self.artifacts)
        self.addCleanup(self._end_leftovers)
        self.registry.change({DEFAULTS_KEY: self._servers(closed_port(), closed_port())}, deleted=[SETTINGS_KEY])

    def set_screen_density(self, dpi):
        """Programs started from now on until the test ends see a screen of
        dpi pixels per inch."""
        key, name = "HKCU\\Control Panel\\Desktop", "LogPixels"
        previous = self.registry.values(key).get(name)
        self.registry.set(key, name, dpi)
        if previous is None:
            self.addCleanup(self.registry.delete_value, key, name)
        else:
            self.addCleanup(self.registry.set, key, name, previous)

    def set_servers(self, quotes_port, update_port):
        """Points "Quotes Host" and "Update Host" at 127.0.0.1 ports."""
        self.registry.change({DEFAULTS_KEY: self._servers(quotes_port, update_port)})

    @staticmethod
    def _servers(quotes_port, update_port):
        return {"Quotes Host": "127.0.0.1:%d" % quotes_port, "Update Host": "127.0.0.1:%d" % update_port}

    def start_kestrom(self, *args, clock=None):
        """Starts Kestrom.exe with these arguments; its output goes to the
        artifacts, its current directory is the artifacts folder. clock, a
        datetime, is where the program's clock starts instead of now."""
        process = KestromProcess(self.driver, Config.exe, args, self.artifacts,
                                 self.artifacts / (self.id().rsplit(".", 1)[-1] + ".log"),
                                 env=clock_starting_at(clock) if clock else None)
        self.addCleanup(process.kill)
        return process

    def hold(self, path, seconds, read_only=False):
        """Another program holding path open: sharing it with no one, or as a
        spreadsheet shows a file (read access, others may only read it)."""
        holder = subprocess.Popen([str(WINE_RUN), str(Config.driver), "hold-file", windows_path(path),
                                   "--timeout", str(seconds * 1000), *(["--read"] if read_only else [])],
                                  stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.addCleanup(holder.stdout.close)
        self.addCleanup(holder.wait, 60)
        self.addCleanup(holder.kill)
        self.assertIn(b'"held"', holder.stdout.readline())
        return holder

    def screenshot(self, name, window=None):
        """Saves the screen (or the window's rectangle) as name.png in the
        artifacts, after giving the program a moment to paint."""
        time.sleep(0.5)
        rect = self.driver.geometry(window).rect if window is not None else None
        return screenshot(self.artifacts / (name + ".png"), rect)

    def _end_leftovers(self):
        for pid in self.driver.processes(exe=Config.exe.name):
            wine("taskkill", "/f", "/pid", pid, check=False)


def main():
    """Parses ctest's options, then runs the scenario's test cases verbosely.
    Without a display it starts again inside tools/with_display.sh."""
    if not os.environ.get("DISPLAY"):
        os.execv(str(WITH_DISPLAY), [str(WITH_DISPLAY), sys.executable, *sys.argv])
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True, type=Path)
    parser.add_argument("--driver", required=True, type=Path)
    parser.add_argument("--artifacts", required=True, type=Path)
    options, rest = parser.parse_known_args()
    # There is no window manager on the virtual display; unmanaged, Wine
    # draws the caption and frame itself, so screenshots show them.
    wine("reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", "Managed", "/d", "N", "/f")
    Config.exe = options.exe.resolve()
    Config.driver = options.driver.resolve()
    Config.artifacts = options.artifacts.resolve()
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)
