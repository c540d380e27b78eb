#!/usr/bin/env python3
"""The REPL at the edges of its streams, which golden files cannot set up: standard output
that cannot be written (a full device, a pipe with no reader) stops the program at the
prompt with a message and status 74; standard input that cannot be read ends the session
silently with status 0."""
import os
import subprocess
import sys

BANNER = b"Welcome to Vormel Interactive REPL!\nType 'exit' to quit.\n\n"
failures = []


def check(label, condition, detail):
    if not condition:
        failures.append(f"{label}: {detail}")


def run(binary, stdin, stdout):
    return subprocess.run([binary], stdin=stdin, stdout=stdout, stderr=subprocess.PIPE,
                          timeout=60)


def main():
    binary = os.path.abspath(sys.argv[1])

    with open("/dev/full", "wb") as full:
        run_full = run(binary, subprocess.DEVNULL, full)
    check("full device: status", run_full.returncode == 74, run_full.returncode)
    check("full device: message",
          run_full.stderr == b"Error: Failed to flush standard output: No space left on device\n",
          run_full.stderr)

    # The reading end is closed before the program starts, so every write fails.
    read_end, write_end = os.pipe()
    os.close(read_end)
    with os.fdopen(write_end, "wb") as no_reader:
        run_pipe = run(binary, subprocess.DEVNULL, no_reader)
    check("pipe without reader: status", run_pipe.returncode == 74, run_pipe.returncode)
    check("pipe without reader: message",
          run_pipe.stderr == b"Error: Failed to flush standard output: Broken pipe\n",
          run_pipe.stderr)

    # A directory opens but cannot be read: a read failure at the first prompt.
    directory = os.open("/", os.O_RDONLY)
    try:
        run_dir = run(binary, directory, subprocess.PIPE)
    finally:
        os.close(directory)
    check("unreadable input: status", run_dir.returncode == 0, run_dir.returncode)
    check("unreadable input: output", run_dir.stdout == BANNER + b">>> ", run_dir.stdout)
    check("unreadable input: no message", run_dir.stderr == b"", run_dir.stderr)

    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
