#!/usr/bin/env python3
"""Drives the REPL through a pseudo-terminal as a person would type: the prompts appear,
the left arrow moves the cursor so that a typed character is inserted inside the line,
the up arrow recalls earlier inputs of the session in order, continuation lines get the
"... " prompt, expressions show their values and errors their locations, exit says
goodbye, and Ctrl-D at an empty prompt ends the session silently.

Results are values that appear in no typed line (40 + 2, 50 + 2, f(4) = 8), so they can
only come from running the edited or recalled text."""
import fcntl
import os
import pty
import select
import subprocess
import sys
import tempfile
import termios
import time

LEFT, UP, ENTER, CTRL_D = b"\x1b[D", b"\x1b[A", b"\r", b"\x04"
DEADLINE_SECONDS = 30  # guards against a hang only; nothing here measures time


class Session:
    """The program on a pseudo-terminal that is its controlling terminal, as in a terminal
    window: a typed Ctrl-C reaches it as SIGINT."""

    def __init__(self, binary, home, args=(), cwd=None, extra_env=None):
        self.master, slave = pty.openpty()
        env = {"TERM": "xterm", "HOME": home, "PATH": os.environ.get("PATH", ""),
               **(extra_env or {})}
        self.process = subprocess.Popen(
            [binary, *args], stdin=slave, stdout=slave, stderr=slave, env=env, cwd=cwd,
            start_new_session=True,
            preexec_fn=lambda: fcntl.ioctl(0, termios.TIOCSCTTY, 0))
        os.close(slave)
        self.output = b""
        self.seen = 0  # output before this offset has been matched already

    def expect(self, marker):
        """Waits for `marker` after what was matched so far; fails if it never comes.
        Redraws repeat the prompt, so results are matched by their own text."""
        while True:
            found = self.output.find(marker, self.seen)
            if found >= 0:
                self.seen = found + len(marker)
                return
            ready, _, _ = select.select([self.master], [], [], DEADLINE_SECONDS)
            data = os.read(self.master, 4096) if ready else b""
            if not data:
                raise AssertionError(f"never saw {marker!r}; output so far: {self.output!r}")
            self.output += data

    def type(self, keys):
        """Types once the line editor has taken the terminal out of line mode: keys that
        arrive earlier would be cooked by the terminal (a Ctrl-D there would be lost)."""
        give_up = time.monotonic() + DEADLINE_SECONDS
        while termios.tcgetattr(self.master)[3] & termios.ICANON:
            if time.monotonic() > give_up:
                raise AssertionError(f"the editor never took the terminal: {self.output!r}")
            time.sleep(0.01)
        os.write(self.master, keys)

    def press(self, keys):
        """Sends keys at once, as while a statement runs (the terminal is then in line mode,
        where a Ctrl-C becomes SIGINT)."""
        os.write(self.master, keys)

    def wait_until_running(self):
        """Waits until the editor has handed the terminal back: the entered line runs."""
        give_up = time.monotonic() + DEADLINE_SECONDS
        while not termios.tcgetattr(self.master)[3] & termios.ICANON:
            if time.monotonic() > give_up:
                raise AssertionError(f"the entered line never ran: {self.output!r}")
            time.sleep(0.01)

    def finish(self):
        status = self.process.wait(timeout=DEADLINE_SECONDS)
        try:
            while True:
                ready, _, _ = select.select([self.master], [], [], 1)
                data = os.read(self.master, 4096) if ready else b""
                if not data:
                    break
                self.output += data
        except OSError:  # the terminal is gone once the program has ended
            pass
        os.close(self.master)
        return status


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def editing_and_history(binary, home):
    s = Session(binary, home)
    s.expect(b"Welcome to Vormel Interactive REPL!")
    s.expect(b">>> ")
    s.type(b"let x = 40" + ENTER)
    s.expect(b">>> ")
    # Typed without the r, then ten characters back to just after the p.
    s.type(b"pint(x + 2)" + LEFT * 10 + b"r" + ENTER)
    s.expect(b"\n42\r\n")  # the result on a line of its own
    s.expect(b">>> ")

    s.type(b"x = 50" + ENTER)
    s.expect(b">>> ")
    # One up is the assignment, two ups the edited print line.
    s.type(UP + UP + ENTER)
    s.expect(b"\n52\r\n")  # the result on a line of its own
    s.expect(b">>> ")

    s.type(b"def f(a) {" + ENTER)
    s.expect(b"... ")
    s.type(b"return a * 2" + ENTER)
    s.expect(b"... ")
    s.type(b"}" + ENTER)
    s.expect(b">>> ")
    s.type(b"print(f(4))" + ENTER)
    s.expect(b"\n8\r\n")  # the result on a line of its own
    s.expect(b">>> ")

    s.type(b"exit" + ENTER)
    s.expect(b"Goodbye!")
    status = s.finish()
    check(status == 0, f"exit ended with status {status}")


def values_and_locations(binary, home):
    """At a terminal an expression shows its value (Null shows nothing), and an error shows
    where it arose, naming the session's input lines."""
    s = Session(binary, home)
    s.expect(b">>> ")
    s.type(b"1 + 2" + ENTER)
    s.expect(b"\n3\r\n")
    s.expect(b">>> ")
    s.type(b"print(\"hi\")" + ENTER)
    s.expect(b"\nhi\r\n>>> ")  # print's own line only: its Null result shows nothing
    s.type(b"def g(n) {" + ENTER)
    s.expect(b"... ")
    s.type(b"return n / 0" + ENTER)
    s.expect(b"... ")
    s.type(b"}" + ENTER)
    s.expect(b">>> ")
    s.type(b"g(1)" + ENTER)
    s.expect(b"Division by zero\r\n  at <input>:4:8 in g\r\n  called from <input>:6:1\r\n")
    s.expect(b">>> ")
    s.type(b"exit" + ENTER)
    s.expect(b"Goodbye!")
    check(s.finish() == 0, "exit failed")


def end_of_input(binary, home):
    s = Session(binary, home)
    s.expect(b">>> ")
    s.type(CTRL_D)
    status = s.finish()
    check(status == 0, f"Ctrl-D ended with status {status}")
    check(b"Goodbye!" not in s.output, f"Ctrl-D said goodbye: {s.output!r}")


def main():
    binary = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as home:
        editing_and_history(binary, home)
        values_and_locations(binary, home)
        end_of_input(binary, home)
    return 0


if __name__ == "__main__":
    sys.exit(main())
