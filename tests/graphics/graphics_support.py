"""Shared pieces of the real-window tests: a private Xvfb server, the interpreter run on it,
window lookup, screenshots read from the X server (xwd), keys sent with xdotool (XTEST),
and the close request a window manager's close button sends (WM_DELETE_WINDOW).

Every wait is bounded and everything started here is killed on the way out. When no X
server can be started, the test exits with SKIP_STATUS and says why."""

import ctypes
import ctypes.util
import glob
import os
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import time

SKIP_STATUS = 77
HERE = os.path.dirname(os.path.abspath(__file__))
LSAN_SUPPRESSIONS = os.path.join(HERE, "lsan_third_party.supp")


def skip(reason):
    print(f"SKIPPED: {reason}")
    sys.exit(SKIP_STATUS)


def fail(message):
    print(f"FAIL: {message}")
    sys.exit(1)


def is_sanitized(interpreter):
    with open(interpreter, "rb") as f:
        return b"libasan.so" in f.read()


def interpreter_environment(display, interpreter=None):
    """The environment for the interpreter: the display, SDL's X11 driver, and leak reports
    about third-party libraries (SDL, Mesa, X11) suppressed under AddressSanitizer.

    Under AddressSanitizer, Mesa's software driver is also loaded from the start: SDL
    unloads it when it shuts down, after which LeakSanitizer can no longer name the library
    its allocations came from (so no suppression can match them); kept loaded, the driver
    still holds them."""
    env = dict(os.environ)
    if interpreter is not None and is_sanitized(interpreter):
        drivers = glob.glob("/usr/lib/*/dri/swrast_dri.so")
        if drivers:
            env["LD_PRELOAD"] = drivers[0]
            asan = env.get("ASAN_OPTIONS", "")
            env["ASAN_OPTIONS"] = (asan + ":" if asan else "") + "verify_asan_link_order=0"
    env.pop("DISPLAY", None)
    if display is not None:
        env["DISPLAY"] = display
    env["SDL_VIDEODRIVER"] = "x11"
    lsan = env.get("LSAN_OPTIONS", "")
    env["LSAN_OPTIONS"] = ((lsan + ":" if lsan else "") +
                           f"suppressions={LSAN_SUPPRESSIONS}:print_suppressions=0")
    return env


class Xvfb:
    """An Xvfb server on a free display, picked by the server itself (-displayfd)."""

    def __init__(self, width=640, height=480):
        if shutil.which("Xvfb") is None:
            skip("Xvfb is not installed")
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 15
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([read_end], [], [], 0.2)
            if ready:
                chunk = os.read(read_end, 16)
                if not chunk:
                    break
                number += chunk
        os.close(read_end)
        if not number.endswith(b"\n"):
            self.stop()
            skip("Xvfb could not start a display")
        self.display = ":" + number.decode().strip()
        self.children = []

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        for child in self.children:
            if child.poll() is None:
                child.kill()
                child.wait(5)
        self.stop()

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(5)

    def tool(self, *args, timeout=10):
        """Runs an X client (xdotool, xwd, ...) against this display; its standard output."""
        env = dict(os.environ, DISPLAY=self.display)
        result = subprocess.run(list(args), env=env, capture_output=True, timeout=timeout)
        if result.returncode != 0:
            raise RuntimeError(f"{args[0]} failed: {result.stderr.decode(errors='replace')}")
        return result.stdout

    def start_script(self, interpreter, source, workdir, name="scene.vl", settings=None):
        """Runs the script on this display; `settings` adds to its environment."""
        path = os.path.join(workdir, name)
        with open(path, "w") as f:
            f.write(source)
        env = dict(interpreter_environment(self.display, interpreter), **(settings or {}))
        process = subprocess.Popen([os.path.abspath(interpreter), path], cwd=workdir, env=env,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE)
        self.children.append(process)
        return process

    def find_window(self, title, process, timeout=20):
        """The id of the mapped window with this exact title, waiting for it to appear."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if process.poll() is not None:
                out, err = process.communicate()
                fail(f"the script ended before its window appeared: {err.decode()}")
            try:
                out = self.tool("xdotool", "search", "--onlyvisible", "--name", f"^{title}$")
                ids = out.split()
                if ids:
                    return int(ids[0])
            except RuntimeError:
                pass  # not there yet
            time.sleep(0.1)
        fail(f"no window titled {title!r} appeared within {timeout} s")

    def screenshot(self, window):
        return read_xwd(self.tool("xwd", "-silent", "-id", str(window)))

    def screenshot_when(self, window, ready, timeout=10):
        """The first screenshot for which ready(image) holds, taken every 0.2 s (the first
        frame comes late on a loaded machine); the last one taken when none does in time."""
        deadline = time.monotonic() + timeout
        image = self.screenshot(window)
        while not ready(image) and time.monotonic() < deadline:
            time.sleep(0.2)
            image = self.screenshot(window)
        return image

    def focus(self, window):
        self.tool("xdotool", "windowfocus", "--sync", str(window))

    def keys(self, *args):
        self.tool("xdotool", *args)

    def request_close(self, window):
        send_delete_window(self.display, window)


def finish(process, timeout=20):
    """Waits for the script to end; its status, standard output and standard error."""
    try:
        out, err = process.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        out, err = process.communicate()
        fail(f"the script did not end within {timeout} s; stderr: {err.decode()}")
    return process.returncode, out.decode(), err.decode()


class Image:
    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    def at(self, x, y):
        return self.pixels[y * self.width + x]


def read_xwd(data):
    """Decodes an X window dump of a TrueColor window into (r, g, b) pixels."""
    fields = struct.unpack(">25I", data[:100])
    header_size, version = fields[0], fields[1]
    if version != 7:
        raise ValueError(f"unexpected xwd version {version}")
    width, height = fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    masks = fields[14:17]
    ncolors = fields[19]
    start = header_size + 12 * ncolors
    step = bits_per_pixel // 8
    order = "little" if byte_order == 0 else "big"

    def channel(value, mask):
        shift = (mask & -mask).bit_length() - 1
        return (value & mask) >> shift

    pixels = []
    for y in range(height):
        row = start + y * bytes_per_line
        for x in range(width):
            value = int.from_bytes(data[row + x * step:row + (x + 1) * step], order)
            pixels.append(tuple(channel(value, m) for m in masks))
    return Image(width, height, pixels)


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("client", ClientMessage), ("pad", ctypes.c_long * 24)]


def send_delete_window(display, window):
    """Sends WM_PROTOCOLS / WM_DELETE_WINDOW, as a window manager's close button does."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(XEvent)]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    connection = x11.XOpenDisplay(display.encode())
    if not connection:
        fail(f"cannot open display {display}")
    event = XEvent()
    event.client.type = 33  # ClientMessage
    event.client.send_event = 1
    event.client.display = connection
    event.client.window = window
    event.client.message_type = x11.XInternAtom(connection, b"WM_PROTOCOLS", 0)
    event.client.format = 32
    event.client.data[0] = x11.XInternAtom(connection, b"WM_DELETE_WINDOW", 0)
    event.client.data[1] = 0  # CurrentTime
    x11.XSendEvent(connection, window, 0, 0, ctypes.byref(event))
    x11.XFlush(connection)
    x11.XCloseDisplay(connection)


class MapWatcher:
    """Counts the top-level windows the X server maps while it watches (MapNotify on the root)."""

    MAP_NOTIFY = 19
    SUBSTRUCTURE_NOTIFY_MASK = 1 << 19

    def __init__(self, display):
        self.x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        for name in ("XDefaultRootWindow", "XPending", "XSync", "XCloseDisplay"):
            getattr(self.x11, name).argtypes = [ctypes.c_void_p] + (
                [ctypes.c_int] if name == "XSync" else [])
        self.x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        self.x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
        self.connection = self.x11.XOpenDisplay(display.encode())
        if not self.connection:
            fail(f"cannot open display {display}")
        root = self.x11.XDefaultRootWindow(self.connection)
        self.x11.XSelectInput(self.connection, root, self.SUBSTRUCTURE_NOTIFY_MASK)
        self.x11.XSync(self.connection, 0)
        self.maps = 0

    def count_maps(self):
        """The MapNotify events seen so far."""
        self.x11.XSync(self.connection, 0)
        event = XEvent()
        while self.x11.XPending(self.connection) > 0:
            self.x11.XNextEvent(self.connection, ctypes.byref(event))
            if event.client.type == self.MAP_NOTIFY:
                self.maps += 1
        return self.maps

    def close(self):
        self.x11.XCloseDisplay(self.connection)


def temporary_folder():
    return tempfile.TemporaryDirectory(prefix="vormel-window-")
