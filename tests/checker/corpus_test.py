#!/usr/bin/env python3
"""Every example and golden script of the project is either clean for vormel-check or listed
in corpus_expectations.txt as expected to warn (or to be unreadable), with the number of
warnings. A new false warning, or a listed script that turned clean, fails the test.
"""
import os
import subprocess
import sys


def main():
    checker, root = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    here = os.path.dirname(os.path.abspath(__file__))
    expected = {}
    with open(os.path.join(here, "corpus_expectations.txt"), encoding="utf-8") as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if line:
                path, outcome = line.split()
                expected[path] = outcome
    scripts = []
    for folder in ("examples", "tests/golden"):
        for dirpath, dirs, files in os.walk(os.path.join(root, folder)):
            # A folder named like a script is a case too (the checker cannot read it).
            scripts += [os.path.relpath(os.path.join(dirpath, f), root)
                        for f in files + dirs if f.endswith(".vl")]
    failures = []
    for script in sorted(scripts):
        run = subprocess.run([checker, os.path.basename(script)],
                             cwd=os.path.join(root, os.path.dirname(script)),
                             capture_output=True, timeout=60)
        lines = run.stdout.decode("utf-8", "replace").splitlines()
        if run.returncode == 2:
            actual = "unreadable"
        elif run.returncode == 1:
            actual = f"warns:{len(lines)}"
        elif run.returncode == 0 and not lines:
            actual = "clean"
        else:
            actual = f"status {run.returncode}"
        wanted = expected.pop(script, "clean")
        if actual != wanted:
            failures.append(f"{script}: expected {wanted}, got {actual}\n  " + "\n  ".join(lines))
    for script in expected:
        failures.append(f"{script}: listed but not found")
    print(f"{len(scripts)} scripts checked")
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
