"""Helpers shared by the HTTP tests: running scripts, starting a script's server in the
background on a free port (for one test, or for a whole class of them), and raw loopback
sockets. Every wait is bounded."""
import os
import re
import select
import signal
import socket
import subprocess
import tempfile
import time
import unittest

WAIT_SECONDS = 10
LISTENING = re.compile(rb"^Server listening on http://127\.0\.0\.1:(\d+)\n$")


def free_port():
    """A port that nothing listens on right now (the kernel's choice)."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Workspace:
    """A temporary folder for scripts and the files they read."""

    def __init__(self):
        self._dir = tempfile.TemporaryDirectory(prefix="vormel-http-")
        self.path = self._dir.name

    def write(self, name, content):
        path = os.path.join(self.path, name)
        mode = "wb" if isinstance(content, bytes) else "w"
        with open(path, mode, **({} if mode == "wb" else {"encoding": "utf-8", "newline": ""})) as f:
            f.write(content)
        return path

    def close(self):
        self._dir.cleanup()


def run_script(vormel, workspace, source, timeout=WAIT_SECONDS * 6):
    """Runs a script to its end; returns (stdout bytes, stderr bytes, status)."""
    path = workspace.write("script.vl", source)
    done = subprocess.run([vormel, path], cwd=workspace.path, stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=timeout)
    return done.stdout, done.stderr, done.returncode


def read_line(stream, deadline):
    line = b""
    while not line.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([stream], [], [], left)[0]:
            raise TimeoutError(f"no full line from the server, got {line!r}")
        chunk = os.read(stream.fileno(), 1)
        if not chunk:
            raise EOFError(f"server output ended after {line!r}")
        line += chunk
    return line


class ScriptServer:
    """A script that ends in http.serve, run in the background until stop()."""

    def __init__(self, vormel, workspace, source, name="server.vl", preexec_fn=None, args=()):
        path = workspace.write(name, source)
        self.process = subprocess.Popen([vormel, path, *args], cwd=workspace.path,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, start_new_session=True,
                                        preexec_fn=preexec_fn)
        deadline = time.monotonic() + WAIT_SECONDS
        try:
            self.starting_line = read_line(self.process.stdout, deadline)
            self.listening_line = read_line(self.process.stdout, deadline)
        except Exception:
            self.stop()
            raise
        match = LISTENING.match(self.listening_line)
        if not match:
            self.stop()
            raise AssertionError(f"unexpected listening line {self.listening_line!r}")
        self.port = int(match.group(1))

    def open_descriptors(self):
        return len(os.listdir(f"/proc/{self.process.pid}/fd"))

    def settled_descriptors(self, quiet_seconds=1.0, limit_seconds=12.0):
        """The open descriptors once connections of earlier checks have ended: the count after
        it has stayed the same for `quiet_seconds` (a connection may wait for its request or
        drain for a few seconds)."""
        give_up = time.monotonic() + limit_seconds
        count = self.open_descriptors()
        since = time.monotonic()
        while time.monotonic() < give_up:
            time.sleep(0.05)
            now = self.open_descriptors()
            if now != count:
                count, since = now, time.monotonic()
            elif time.monotonic() - since >= quiet_seconds:
                break
        return count

    def descriptor_targets(self):
        """What each open descriptor refers to, for a failure's message."""
        folder = f"/proc/{self.process.pid}/fd"
        targets = {}
        for fd in os.listdir(folder):
            try:
                targets[int(fd)] = os.readlink(os.path.join(folder, fd))
            except OSError:
                pass
        return targets

    def stop(self):
        if self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGKILL)
        self.process.wait(timeout=WAIT_SECONDS)
        self.process.stdout.close()
        self.process.stderr.close()


class ServerTestCase(unittest.TestCase):
    """Tests of one server for the whole class: `start_server` starts it in a new workspace
    (its script serves on port 0, so the kernel picks a free port); after the class's last
    test the server is killed and the workspace removed."""

    @classmethod
    def start_server(cls, workspace):
        """The class's ScriptServer, started in `workspace`."""
        raise NotImplementedError

    @classmethod
    def setUpClass(cls):
        cls.workspace = Workspace()
        cls.server = cls.start_server(cls.workspace)
        cls.port = cls.server.port

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()
        cls.workspace.close()


def connect(port, timeout=WAIT_SECONDS):
    s = socket.create_connection(("127.0.0.1", port), timeout=timeout)
    s.settimeout(timeout)
    return s


def read_to_close(s):
    data = b""
    while True:
        chunk = s.recv(65536)
        if not chunk:
            return data
        data += chunk


def exchange(port, request, close_sending=True):
    """Sends `request` raw, optionally shuts the sending side, reads to the close."""
    with connect(port) as s:
        if request:
            s.sendall(request)
        if close_sending:
            s.shutdown(socket.SHUT_WR)
        return read_to_close(s)


def ok_response(content):
    body = content.encode() if isinstance(content, str) else content
    return (b"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: "
            + str(len(body)).encode() + b"\r\n\r\n" + body)


NOT_FOUND = (b"HTTP/1.1 404 Not Found\r\nContent-Type: text/plain\r\nContent-Length: 9\r\n\r\n"
             b"Not Found")
