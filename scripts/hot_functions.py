#!/usr/bin/env python3
"""Writes cmake/hot_code.txt: where the functions that typical runs execute are placed.

The file is the linker's section ordering: the release build lays these functions out side by side at the start of the code, so that a
run maps a few stretches of the binary instead of pages spread over all of it (most of a
small script's resident memory is code). The list is taken from valgrind's callgrind tool:
every function of the binary that runs while an empty script and each benchmark program run,
in the order they are first met, so start-up code comes first.

A name that no longer exists is simply not placed, so the list may fall behind the code
without breaking the build; run this again after larger changes to the evaluator:

    python3 scripts/hot_functions.py [build/vormel]
"""

import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BENCH = os.path.join(ROOT, "bench")
OUTPUT = os.path.join(ROOT, "cmake", "hot_code.txt")
PROGRAMS = ["fib", "loop", "calls", "primes", "string_build", "array_push", "dict_read",
            "mandelbrot", "strings", "state_machine", "records", "tree", "higher_order"]
# GCC's copies of a function (".constprop.0", ".isra.0", ".lto_priv.0", ...) change names with
# the code around them, so they are matched by the name they come from.
CLONE_SUFFIX = re.compile(r"\.(constprop|isra|part|lto_priv|cold|localalias)\..*$")
# A constructor or destructor is named after its complete-object form (C1, D1), but its code
# sits in the section of the base-object form (C2, D2) that the former is an alias of.
STRUCTOR = re.compile(r"([CD])[0-9](E[^.]*)$")


def section_pattern(name):
    """The linker's pattern for the sections that hold a function: ".text." followed by its
    name, or ".text.startup.", ".text.unlikely." and so on for the parts GCC sets apart."""
    base = STRUCTOR.sub(r"\1[0-9]\2", CLONE_SUFFIX.sub("", name))
    return ".text*." + base + "*"


def functions_run(binary, script, workdir):
    """The mangled names met in a callgrind profile of one run, in first-met order."""
    out = os.path.join(workdir, "callgrind.out")
    subprocess.run(["valgrind", "--tool=callgrind", "--demangle=no", "--callgrind-out-file=" + out,
                    binary, script], cwd=BENCH, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, check=True, timeout=1800)
    names = []
    with open(out) as profile:
        for line in profile:
            match = re.match(r"^c?fn=\(\d+\) (.*)$", line)
            if match:
                names.append(match.group(1).strip())
    return names


def defined_functions(binary):
    listing = subprocess.run(["nm", "--defined-only", binary], capture_output=True, text=True,
                             check=True).stdout
    return {fields[2] for fields in map(str.split, listing.splitlines())
            if len(fields) == 3 and fields[1] in "tTwW"}


def main():
    binary = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build",
                                                                                   "vormel"))
    own = defined_functions(binary)
    order, seen = [], set()
    with tempfile.TemporaryDirectory() as workdir:
        empty = os.path.join(workdir, "empty.vl")
        open(empty, "w").close()
        scripts = [empty] + [os.path.join(BENCH, name + ".vl") for name in PROGRAMS]
        for script in scripts:
            print("profiling", os.path.basename(script), file=sys.stderr)
            for name in functions_run(binary, script, workdir):
                if name in own and name not in seen:
                    seen.add(name)
                    order.append(name)
    patterns = list(dict.fromkeys(section_pattern(name) for name in order))
    with open(OUTPUT, "w") as listing:
        listing.writelines(pattern + "\n" for pattern in patterns)
    print(f"{len(patterns)} functions written to {os.path.relpath(OUTPUT, ROOT)}", file=sys.stderr)


if __name__ == "__main__":
    main()
