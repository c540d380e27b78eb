#!/usr/bin/env python3
"""vormel-check on broken input: every project script, mutated at random (seeded, so a
failure can be replayed) by deleting spans, duplicating them, and inserting brackets,
keywords, quotes, comment openers and odd characters. Each run must end within its time
limit with status 0 or 1, print only well-formed warning lines, and name lines and columns
that exist in the file.
"""
import os
import random
import re
import subprocess
import sys
import tempfile

RUNS = 400
PIECES = ["{", "}", "(", ")", "[", "]", "\"", "/*", "*/", "else", "if", "def", "let", "=", ",",
          ":", ".", "..", "=>", "&", "é", "😀", "\t", "\n", "#", "\\", "99999999999999999999",
          "match", "use", "xs[i] = 1", "input(", "and", "or", "\x01", "\u00a0"]
LINE = re.compile(r"^case\.vl:(\d+):(\d+): warning: \S.*$")


def mutate(rng, text):
    for _ in range(rng.randint(1, 6)):
        at = rng.randint(0, len(text))
        choice = rng.random()
        if choice < 0.3 and text:
            end = min(len(text), at + rng.randint(1, 40))
            text = text[:at] + text[end:]
        elif choice < 0.45 and text:
            end = min(len(text), at + rng.randint(1, 80))
            text = text[:at] + text[at:end] * 2 + text[end:]
        else:
            text = text[:at] + rng.choice(PIECES) + text[at:]
    return text


def main():
    checker, root = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 15
    sources = []
    for folder in ("examples", "tests/golden", "tests/checker/cases"):
        for dirpath, _, files in os.walk(os.path.join(root, folder)):
            for name in files:
                if name.endswith(".vl"):
                    with open(os.path.join(dirpath, name), "rb") as f:
                        data = f.read()
                    try:
                        sources.append(data.decode("utf-8"))
                    except UnicodeDecodeError:
                        pass
    rng = random.Random(seed)
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        path = os.path.join(tmp, "case.vl")
        for run in range(RUNS):
            text = mutate(rng, rng.choice(sources))
            with open(path, "w", encoding="utf-8") as f:
                f.write(text)
            try:
                result = subprocess.run([checker, "case.vl"], cwd=tmp, capture_output=True,
                                        timeout=20)
            except subprocess.TimeoutExpired:
                failures.append((run, "timed out", text))
                continue
            lines = result.stdout.decode("utf-8", "replace").splitlines()
            line_count = text.count("\n") + 1
            if result.returncode not in (0, 1) or result.stderr:
                failures.append((run, f"status {result.returncode} {result.stderr!r}", text))
            elif (result.returncode == 1) != bool(lines):
                failures.append((run, "status does not match the output", text))
            for line in lines:
                match = LINE.match(line)
                if not match or int(match.group(1)) > line_count or int(match.group(2)) < 1:
                    failures.append((run, f"bad line {line!r}", text))
                    break
    for run, what, text in failures[:5]:
        print(f"run {run} (seed {seed}): {what}\n--- input:\n{text}\n---")
    print(f"{RUNS} mutated scripts, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
