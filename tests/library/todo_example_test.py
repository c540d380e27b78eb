#!/usr/bin/env python3
"""The to-do example keeps its list in a JSON file across runs: adding, marking done, listing,
refusing a bad number or command with its status, and leaving a file python's json reads.

Usage: todo_example_test.py BINARY SOURCE_DIR"""
import json
import os
import subprocess
import sys
import tempfile


def main():
    binary, source = sys.argv[1], sys.argv[2]
    script = os.path.join(source, "examples", "todo.vl")
    with tempfile.TemporaryDirectory() as folder:
        store = os.path.join(folder, "list.json")
        env = dict(os.environ, TODO_FILE=store)

        def run(*args):
            done = subprocess.run([binary, script, *args], cwd=folder, env=env,
                                  capture_output=True, text=True, timeout=30)
            return done.returncode, done.stdout, done.stderr

        steps = [
            ((), (0, "nothing to do\n")),
            (("add", "water the plants"), (0, "1. [ ] water the plants\n")),
            (("add", "ÿ café"), (0, "1. [ ] water the plants\n2. [ ] ÿ café\n")),
            (("done", "2"), (0, "1. [ ] water the plants\n2. [x] ÿ café\n")),
            (("done", "3"), (1, "no task 3\n")),
            (("done", "1.0"), (1, "no task 1.0\n")),
            (("frob",), (2, "usage: vormel todo.vl [list | add TEXT | done NUMBER]\n")),
            (("list",), (0, "1. [ ] water the plants\n2. [x] ÿ café\n")),
        ]
        failures = 0
        for args, (status, output) in steps:
            got = run(*args)
            if got != (status, output, ""):
                print(f"todo.vl {' '.join(args)}: expected {(status, output, '')!r}, got {got!r}")
                failures += 1
        with open(store, encoding="utf-8") as f:
            kept = json.load(f)
        if kept != [{"title": "water the plants", "done": False},
                    {"title": "ÿ café", "done": True}]:
            print(f"the JSON file holds {kept!r}")
            failures += 1
    print("todo example:", "ok" if failures == 0 else f"{failures} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
