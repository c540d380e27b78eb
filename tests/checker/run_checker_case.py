#!/usr/bin/env python3
"""Runs vormel-check on one case and compares its output and exit status.

For cases/NAME.vl the expectations are NAME.out (standard output; missing means empty) and
NAME.status. NAME.args, if present, holds the command-line arguments one per line instead of
just the file name. The checker runs in the case's folder, so modules beside it are found
and the file names in its output are as written.
"""
import os
import subprocess
import sys


def read(path, default=""):
    try:
        with open(path, encoding="utf-8") as f:
            return f.read()
    except FileNotFoundError:
        return default


def main():
    checker, case = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    folder, name = os.path.split(case)
    stem = case[: -len(".vl")]
    args_text = read(stem + ".args", None)
    args = [name] if args_text is None else [a for a in args_text.split("\n") if a]
    run = subprocess.run([checker] + args, cwd=folder, capture_output=True, timeout=60)
    expected_out = read(stem + ".out")
    expected_status = int(read(stem + ".status").strip())
    actual_out = run.stdout.decode("utf-8", "replace")
    ok = True
    if actual_out != expected_out:
        print(f"--- expected output:\n{expected_out}--- actual output:\n{actual_out}")
        ok = False
    if run.returncode != expected_status:
        print(f"expected status {expected_status}, got {run.returncode}")
        print(run.stderr.decode("utf-8", "replace"))
        ok = False
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
