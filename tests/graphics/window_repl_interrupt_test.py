"""Ctrl-C in the interactive loop with a window open, typed into a pseudo-terminal: at the
prompt it gives a fresh prompt however often it comes, and in a running frame loop it stops
the statement with "Interrupted". The session and the window go on; only exit ends it."""

import os
import sys
import time

import graphics_support as gs

sys.path.insert(0, os.path.join(gs.HERE, ".."))
from repl_interrupt_test import CTRL_C, interrupt_running  # noqa: E402
from repl_terminal_test import ENTER, Session, check  # noqa: E402


def main():
    interpreter = os.path.abspath(sys.argv[1])
    with gs.temporary_folder() as home, gs.Xvfb() as x:
        env = gs.interpreter_environment(x.display, interpreter)
        env = {k: v for k, v in env.items() if k not in ("TERM", "HOME", "PATH")}
        s = Session(interpreter, home, extra_env=env)
        try:
            s.expect(b">>> ")
            s.type(b"let keep = 42" + ENTER)
            s.expect(b">>> ")
            s.type(b"window(100, 100) print(is_open())" + ENTER)
            s.expect(b"\ntrue\r\n")
            for _ in range(3):
                s.expect(b">>> ")
                s.type(CTRL_C)
                time.sleep(0.3)
            s.expect(b">>> ")
            interrupt_running(s, b"while is_open() { clear() present() }")
            s.type(b"print(keep, is_open())" + ENTER)
            s.expect(b"\n42\r\ntrue\r\n")
            s.expect(b">>> ")
            s.type(b"exit" + ENTER)
            s.expect(b"Goodbye!")
            status = s.finish()
        except (AssertionError, OSError) as problem:  # OSError: the terminal closed
            s.process.kill()
            gs.fail(f"{problem}; output so far: {s.output[-400:]!r}")
    check(status == 0, f"the session ended with status {status}")
    print("ok")


main()
