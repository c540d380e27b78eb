#!/usr/bin/env python3
"""Runs one golden script and compares its standard output, standard error and status.

For tests/golden/.../NAME.vl the expectations are NAME.out, NAME.err (each optional:
missing means empty) and NAME.status. Optional NAME.args holds the command-line
arguments, one per line ({script} stands for the script's file name; without the file
the arguments are just the script), and NAME.in is fed to standard input (otherwise
standard input is empty). The script runs in its own folder, so module files beside it
are found. In expected texts, {ms} matches a timing such as 0.052. Optional NAME.memory
holds a limit on the run's address space in MiB, for tests of running out of memory.
Optional NAME.env holds environment variables, one NAME=VALUE per line; VORMEL_WHERE is
otherwise taken out of the environment, so that a developer's setting changes no result.

With a third argument, the expectation files are looked up in that folder instead of beside
the script (used for the example programs, whose expected output lives under tests/).
"""
import os
import re
import resource
import subprocess
import sys

TIMEOUT_SECONDS = 120


def expected_pattern(text):
    parts = text.split("{ms}")
    return re.compile(rb"\d+\.\d{3}".join(re.escape(p.encode()) for p in parts), re.S)


def read(path, default=""):
    try:
        with open(path, encoding="utf-8", newline="") as f:
            return f.read()
    except FileNotFoundError:
        return default


def show(label, expected, actual):
    print(f"--- expected {label}:\n{expected!r}\n--- actual {label}:\n{actual!r}")


def main():
    binary, script = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    folder, file_name = os.path.split(script)
    stem = script[: -len(".vl")]
    if len(sys.argv) > 3:
        stem = os.path.join(os.path.abspath(sys.argv[3]), file_name[: -len(".vl")])
    args_text = read(stem + ".args", None)
    if args_text is None:
        args = [file_name]
    else:
        args = [a.replace("{script}", file_name) for a in args_text.split("\n")]
        if args and args[-1] == "":
            args.pop()
    stdin_path = stem + ".in"
    stdin = open(stdin_path, "rb") if os.path.exists(stdin_path) else subprocess.DEVNULL
    memory_text = read(stem + ".memory", None)
    limit = None if memory_text is None else int(memory_text.strip()) << 20

    env = {k: v for k, v in os.environ.items() if k != "VORMEL_WHERE"}
    for line in read(stem + ".env").splitlines():
        if "=" in line:
            key, value = line.split("=", 1)
            env[key] = value

    def limit_memory():
        if limit is not None:
            resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

    try:
        run = subprocess.run([binary] + args, cwd=folder, stdin=stdin, capture_output=True,
                             timeout=TIMEOUT_SECONDS, preexec_fn=limit_memory, env=env)
    except subprocess.TimeoutExpired:
        print(f"timed out after {TIMEOUT_SECONDS}s")
        return 1
    ok = True
    for label, actual, path in (("stdout", run.stdout, stem + ".out"),
                                ("stderr", run.stderr, stem + ".err")):
        expected = read(path)
        if not expected_pattern(expected).fullmatch(actual):
            show(label, expected, actual.decode("utf-8", "replace"))
            ok = False
    expected_status = int(read(stem + ".status", "0").strip() or "0")
    if run.returncode != expected_status:
        print(f"--- expected status {expected_status}, got {run.returncode}")
        ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
