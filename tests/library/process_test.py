#!/usr/bin/env python3
"""What the library does across processes, where a golden script cannot look.

- file.write killed at random moments (SIGKILL, so nothing of the program runs after it):
  the target always holds either its old text or one whole new text, never a part.
- time.sleep in the REPL stops at Ctrl-C (SIGINT) with the usual "Interrupted" line, and
  the session goes on with what it had defined.

Usage: process_test.py BINARY"""
import os
import random
import re
import signal
import subprocess
import sys
import tempfile
import time

KILLS = 30
SLEEP_SECONDS = 30  # far longer than the test waits: only the interrupt can end it early

# Writes two large texts by turns, forever. Each names its version at both ends.
WRITER = """use file
let filler = "x"
for i in 0..20 { filler = filler + filler }
let texts = ["begin 0\\n" + filler + "\\nend 0\\n", "begin 1\\n" + filler + "\\nend 1\\n"]
let n = 0
while true {
  file.write("target.txt", texts[n % 2])
  n = n + 1
}
"""
WHOLE = re.compile(r"begin ([01])\nx{1048576}\nend \1\n")


def check(condition, message):
    if not condition:
        print("FAIL:", message)
        sys.exit(1)


def killed_writes(binary):
    with tempfile.TemporaryDirectory() as folder:
        with open(os.path.join(folder, "writer.vl"), "w", encoding="utf-8") as f:
            f.write(WRITER)
        target = os.path.join(folder, "target.txt")
        rng = random.Random(7)
        saw_old = saw_new = cut_short = 0
        for _ in range(KILLS):
            with open(target, "w", encoding="utf-8") as f:
                f.write("old\n")
            run = subprocess.Popen([binary, "writer.vl"], cwd=folder, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.PIPE)
            time.sleep(rng.uniform(0.0, 0.3))
            run.send_signal(signal.SIGKILL)
            run.wait()
            with open(target, encoding="utf-8") as f:
                text = f.read()
            if text == "old\n":
                saw_old += 1
            else:
                check(WHOLE.fullmatch(text) is not None,
                      f"a kill left a partial file of {len(text)} characters")
                saw_new += 1
            # A temporary beside the target shows that the kill came in the middle of a write.
            for name in os.listdir(folder):
                if name.startswith(".target.txt.tmp-"):
                    cut_short += 1
                    os.remove(os.path.join(folder, name))
        check(saw_new > 0, "no run got as far as one whole write")
        check(cut_short > 0, "no kill landed inside a write; the test proved nothing")
        print(f"{KILLS} kills: old text {saw_old}, whole new text {saw_new}, "
              f"{cut_short} in the middle of a write")


def interrupted_sleep(binary):
    session = subprocess.Popen([binary], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                               stderr=subprocess.PIPE)
    started = time.monotonic()
    session.stdin.write(f'use time\nlet kept = 41\ntime.sleep({SLEEP_SECONDS}); '
                        'print("not reached")\nprint(kept + 1)\nexit\n'.encode())
    session.stdin.flush()
    time.sleep(1.0)  # the REPL is up and sleeping by now; if not, the check below shows it
    session.send_signal(signal.SIGINT)
    try:
        out, err = session.communicate(timeout=SLEEP_SECONDS / 2)
    except subprocess.TimeoutExpired:
        session.kill()
        session.communicate()
        check(False, "Ctrl-C did not stop time.sleep")
    elapsed = time.monotonic() - started
    check(session.returncode == 0, f"the REPL ended with status {session.returncode}")
    check(b"Interrupted" in err, f"no Interrupted line: {err!r}")
    check(b"not reached" not in out and b"\n42\n" in out.replace(b">>> ", b"\n"),
          f"the session did not go on as it should: {out!r}")
    check(elapsed < SLEEP_SECONDS / 2, f"the sleep went on for {elapsed:.1f}s")
    print(f"time.sleep interrupted after {elapsed:.1f}s")


def main():
    binary = os.path.abspath(sys.argv[1])
    killed_writes(binary)
    interrupted_sleep(binary)
    return 0


if __name__ == "__main__":
    sys.exit(main())
