#!/usr/bin/env python3
"""Ctrl-C typed into a pseudo-terminal, as a person would press it.

At the prompt it drops the line being typed and any pending continuation lines and shows a
fresh ">>> ". While a statement runs (a while loop, a for loop, a deep recursion, a call-heavy
computation, a wait in input(), a module's loading, http.serve, an HTTP request waiting on a
silent server) it stops that statement with one ERROR line "Interrupted",
skips the rest of that input, and returns to the prompt with every variable and function
kept: calls that were active have their shadowed bindings back. In file mode it ends the
run, by the signal (a shell shows status 130).

Each check reads a result that only the kept state can give."""
import os
import signal
import socket
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "http"))
from http_test_support import free_port  # noqa: E402
from repl_terminal_test import ENTER, Session, check  # noqa: E402

CTRL_C = b"\x03"
INTERRUPTED = b"Interrupted"
SETTLE_SECONDS = 0.3  # lets a started loop get going; correctness does not depend on it


def interrupt_running(s, line):
    """Enters `line`, which runs until interrupted, and presses Ctrl-C while it runs."""
    s.type(line + ENTER)
    s.wait_until_running()
    time.sleep(SETTLE_SECONDS)
    s.press(CTRL_C)
    s.expect(INTERRUPTED)
    s.expect(b">>> ")


def at_the_prompt(binary, home):
    s = Session(binary, home)
    s.expect(b">>> ")
    s.type(b"let x = 20" + ENTER)
    s.expect(b">>> ")
    # A half-typed line is dropped: had it been kept, its "(" would hold the next input.
    s.type(b"print(x + ")
    s.expect(b"print(x + ")
    s.type(CTRL_C)
    s.expect(b">>> ")
    s.type(b"print(x + 1)" + ENTER)
    s.expect(b"\n21\r\n")
    s.expect(b">>> ")
    # Pending continuation lines are dropped too: the next input starts a fresh statement.
    s.type(b"def g() {" + ENTER)
    s.expect(b"... ")
    s.type(b"print(555)" + ENTER)
    s.expect(b"... ")
    s.type(CTRL_C)
    s.expect(b">>> ")
    s.type(b"print(x * 3)" + ENTER)
    s.expect(b"\n60\r\n")
    s.expect(b">>> ")
    s.type(b"exit" + ENTER)
    s.expect(b"Goodbye!")
    check(s.finish() == 0, "exit after Ctrl-C at the prompt did not end with status 0")
    check(b"\n555\r\n" not in s.output, f"dropped continuation lines ran: {s.output!r}")


def while_running(binary, home):
    s = Session(binary, home)
    s.expect(b">>> ")
    s.type(b"let n = 0" + ENTER)
    s.expect(b">>> ")
    s.type(b'def twice(v) { return v * 2 }' + ENTER)
    s.expect(b">>> ")

    # A while loop, with a statement after it on the same input that must not run.
    interrupt_running(s, b'while true { n = n + 1 } print("after the loop")')
    s.type(b"print(n > 0, twice(21))" + ENTER)
    s.expect(b"\ntrue\r\n42\r\n")
    s.expect(b">>> ")

    # A for loop over a range.
    interrupt_running(s, b"for i in 0..100000000 { for j in 1..100000000 { n = j } }")
    s.type(b"print(n > 0)" + ENTER)
    s.expect(b"\ntrue\r\n")
    s.expect(b">>> ")

    # A for loop over an array, whose body loops.
    interrupt_running(s, b"for w in [1, 2, 3] { while true { n = w } }")
    s.type(b"print(n)" + ENTER)
    s.expect(b"\n1\r\n")
    s.expect(b">>> ")

    # A deep recursion stopped at its bottom: 3000 calls bind k, and the global k is back.
    s.type(b'let k = "global k"' + ENTER)
    s.expect(b">>> ")
    s.type(b"def deep(k) { if k == 0 { while true { } } return deep(k - 1) }" + ENTER)
    s.expect(b">>> ")
    interrupt_running(s, b"deep(3000)")
    s.type(b"print(k)" + ENTER)
    s.expect(b"\nglobal k\r\n")
    s.expect(b">>> ")

    # A call-heavy computation, stopped at a call; the function still works afterwards.
    s.type(b"def fib(m) { if m < 2 { return m } return fib(m - 1) + fib(m - 2) }" + ENTER)
    s.expect(b">>> ")
    interrupt_running(s, b"let big = fib(60)")
    s.type(b"print(fib(15)) print(big)" + ENTER)
    # `big` was never assigned: reading it fails, so only fib(15) shows before the error.
    s.expect(b"610")
    s.expect(b">>> ")

    # A wait for a line in input().
    interrupt_running(s, b'let answer = input("name? ")')
    s.type(b'print("still here", n)' + ENTER)
    s.expect(b"\nstill here\r\n1\r\n")
    s.expect(b">>> ")

    s.type(b"exit" + ENTER)
    s.expect(b"Goodbye!")
    check(s.finish() == 0, "exit after the interrupts did not end with status 0")
    check(b"\nafter the loop\r\n" not in s.output, f"the rest of an input ran: {s.output!r}")
    count = s.output.count(INTERRUPTED)
    check(count == 6, f"expected one Interrupted line per Ctrl-C, saw {count}: {s.output!r}")


def module_loading(binary, home):
    """A module whose loading is interrupted can be loaded again: here it loops forever the
    first time, and is a quick file when the session asks for it the second time."""
    with tempfile.TemporaryDirectory() as folder:
        module = os.path.join(folder, "slow.vl")
        with open(module, "w") as f:
            f.write("while true { }\n")
        s = Session(binary, home, cwd=folder)
        s.expect(b">>> ")
        interrupt_running(s, b"use slow")
        with open(module, "w") as f:
            f.write("def f() { return 40 + 2 }\n")
        s.type(b"use slow" + ENTER)
        s.expect(b">>> ")
        s.type(b"print(slow.f())" + ENTER)
        s.expect(b"\n42\r\n")
        s.expect(b">>> ")
        s.type(b"exit" + ENTER)
        s.expect(b"Goodbye!")
        check(s.finish() == 0, "exit after the module load did not end with status 0")
        check(b"imports itself" not in s.output, f"the interrupted load stuck: {s.output!r}")


def http_waits(binary, home):
    """http.serve, web.serve and a request to a server that never answers stop at once (the request's
    own time-out is 30 s), and serving again on the same port works: the listener closed."""
    with socket.socket() as silent:
        silent.bind(("127.0.0.1", 0))
        silent.listen()
        s = Session(binary, home)
        s.expect(b">>> ")
        s.type(b'let keep = 7 use http http.page("/", "x")' + ENTER)
        s.expect(b">>> ")
        port = free_port()
        interrupt_running(s, b"http.serve(%d)" % port)
        started = time.monotonic()
        interrupt_running(s, b'http.get("http://127.0.0.1:%d/")' % silent.getsockname()[1])
        check(time.monotonic() - started < 10, "the request outlived Ctrl-C")
        interrupt_running(s, b"http.serve(%d)" % port)
        s.type(b'use web def hi(req) { return "hi" } web.get("/", hi)' + ENTER)
        s.expect(b">>> ")
        interrupt_running(s, b"web.serve(%d)" % port)
        interrupt_running(s, b"web.serve(%d)" % port)
        s.type(b"print(keep)" + ENTER)
        s.expect(b"\n7\r\n")
        s.type(b"exit" + ENTER)
        s.expect(b"Goodbye!")
        check(s.finish() == 0, "exit after the HTTP interrupts did not end with status 0")


def file_mode(binary, home):
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "forever.vl"), "w") as script:
            script.write('print("started")\nwhile true { }\n')
        s = Session(binary, home, args=["forever.vl"], cwd=folder)
        s.expect(b"started")
        time.sleep(SETTLE_SECONDS)
        s.press(CTRL_C)
        status = s.finish()
        check(status == -signal.SIGINT, f"Ctrl-C in file mode ended with {status}")
        check(INTERRUPTED not in s.output, f"file mode reported an interrupt: {s.output!r}")


def at_the_prompt_at_once(binary, home):
    """Ctrl-C right behind the keys, before the line editor has taken them in, still gives a
    fresh prompt every time (the signal may come while the editor is not in a read)."""
    s = Session(binary, home)
    s.expect(b">>> ")
    for i in range(20):
        s.press(b"print(" + str(i).encode() + b" + " + CTRL_C)
        s.expect(b">>> ")  # the fresh prompt: keys typed before it would go to the old line
        s.type(b"print(" + str(1000 + i).encode() + b")" + ENTER)
        s.expect(str(1000 + i).encode() + b"\r\n")
        s.expect(b">>> ")
    s.type(b"exit" + ENTER)
    s.expect(b"Goodbye!")


def main():
    binary = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as home:
        at_the_prompt(binary, home)
        at_the_prompt_at_once(binary, home)
        while_running(binary, home)
        module_loading(binary, home)
        http_waits(binary, home)
        file_mode(binary, home)
    return 0


if __name__ == "__main__":
    sys.exit(main())
