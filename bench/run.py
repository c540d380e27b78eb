#!/usr/bin/env python3
"""Runs the benchmark programs in Vormel, Python and Lua side by side.

Each program NAME exists as NAME.vl, NAME.py and NAME.lua in this folder and prints the same
lines in all three languages. Every program is run N times per language; the best wall time
counts. The outputs of the three versions must agree.

Usage: bench/run.py [VORMEL] [-n N] [--timeout S] [--only NAME ...]
"""

import argparse
import math
import os
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

# The programs of the main table, whose ratios go into the geometric means.
PROGRAMS = ["fib", "loop", "calls", "primes", "string_build", "array_push", "dict_read",
            "mandelbrot", "strings", "state_machine", "records", "tree", "higher_order"]

# Pairs that differ in one size only: the second should take about as long as the first.
SCALING = [
    ("global read at call depth 1 vs 5000", "depth_1", "depth_5000"),
    ("array copy, 10 vs 100,000 elements", "copy_10", "copy_100000"),
]


def real_python(path):
    """The Python binary behind path. Version managers such as pyenv put a shell-script shim
    first on the PATH; running through it would add a shell's start-up to every Python time (and
    under valgrind, measure the shell instead of Python)."""
    try:
        done = subprocess.run([path, "-c", "import sys; print(sys.executable)"],
                              capture_output=True, timeout=60, stdin=subprocess.DEVNULL)
    except (OSError, subprocess.TimeoutExpired):
        return path
    found = done.stdout.decode(errors="replace").strip()
    return found if done.returncode == 0 and found and os.access(found, os.X_OK) else path


def find_languages(vormel):
    """The languages to run, as (column name, file extension, command prefix); prints a note for
    each one that is missing."""
    vormel = os.path.abspath(vormel)
    languages = []
    if os.access(vormel, os.X_OK):
        languages.append(("vormel", "vl", [vormel]))
    else:
        print(f"note: no vormel binary at {vormel}; its column is skipped")
    for name, ext, exe in (("python", "py", "python3"), ("lua", "lua", "lua5.4")):
        path = shutil.which(exe)
        if path:
            languages.append((name, ext, [real_python(path) if name == "python" else path]))
        else:
            print(f"note: {exe} is not installed; its column is skipped")
    return languages


def run_once(command, timeout):
    """Runs command once; returns (seconds, stdout, problem) with problem None when it ran."""
    start = time.perf_counter()
    try:
        done = subprocess.run(command, cwd=HERE, capture_output=True, timeout=timeout,
                              stdin=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        return None, b"", f"timed out after {timeout:g} s"
    seconds = time.perf_counter() - start
    if done.returncode != 0:
        return seconds, done.stdout, f"exit status {done.returncode}"
    if done.stderr:
        first = done.stderr.decode(errors="replace").splitlines()[0]
        return seconds, done.stdout, f"wrote to standard error: {first}"
    return seconds, done.stdout, None


def best_of(command, repeats, timeout):
    """Best wall time of `repeats` runs, the output of the first run, and any problem."""
    best, output = None, None
    for _ in range(repeats):
        seconds, stdout, problem = run_once(command, timeout)
        if problem:
            return seconds, stdout, problem
        best = seconds if best is None else min(best, seconds)
        if output is None:
            output = stdout
        elif stdout != output:
            return best, stdout, "output differs between runs"
    return best, output, None


def fmt_time(seconds):
    return "-" if seconds is None else f"{seconds:.3f}"


def fmt_ratio(ratio):
    return "-" if ratio is None else f"{ratio:.2f}"


def geometric_mean(values):
    values = [v for v in values if v is not None and v > 0]
    if not values:
        return None
    return math.exp(sum(math.log(v) for v in values) / len(values))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("vormel", nargs="?", default=os.path.join(ROOT, "build", "vormel"),
                        help="the vormel binary (default: build/vormel)")
    parser.add_argument("-n", "--repeat", type=int, default=3,
                        help="runs per program and language; the best counts (default: 3)")
    parser.add_argument("--timeout", type=float, default=300.0,
                        help="seconds before one run is given up (default: 300)")
    parser.add_argument("--only", nargs="+", metavar="NAME",
                        help="run only these programs (main table or scaling pairs)")
    args = parser.parse_args()
    if args.repeat < 1:
        parser.error("-n must be at least 1")

    languages = find_languages(args.vormel)
    if not languages:
        print("nothing to run")
        return 1

    wanted = set(args.only) if args.only else None
    scaling_names = {n for _, a, b in SCALING for n in (a, b)}
    if wanted:
        unknown = wanted - set(PROGRAMS) - scaling_names
        if unknown:
            parser.error("unknown program(s): " + ", ".join(sorted(unknown)))

    failures = []
    times = {}  # (program, language) -> seconds or None
    disagreeing = set()  # programs whose versions printed different outputs

    def measure(program):
        outputs = {}
        for lang, ext, prefix in languages:
            source = f"{program}.{ext}"
            seconds, output, problem = best_of(prefix + [source], args.repeat, args.timeout)
            if problem:
                failures.append(f"{source}: {problem}")
                seconds = None
            else:
                outputs[lang] = output
            times[(program, lang)] = seconds
        if len(set(outputs.values())) > 1:
            shown = "; ".join(f"{lang}: {out.decode(errors='replace').strip()!r}"
                              for lang, out in outputs.items())
            failures.append(f"{program}: outputs disagree ({shown})")
            disagreeing.add(program)
        print(f"  ran {program}", file=sys.stderr)

    have = {lang for lang, _, _ in languages}

    def ratio(program, other):
        if program in disagreeing:
            return None
        v, o = times.get((program, "vormel")), times.get((program, other))
        return v / o if v and o else None

    main_programs = [p for p in PROGRAMS if not wanted or p in wanted]
    if main_programs:
        for program in main_programs:
            measure(program)
        header = ["program", "vormel s", "python s", "lua s", "vormel/python", "vormel/lua"]
        rows = []
        for program in main_programs:
            rows.append([program, fmt_time(times.get((program, "vormel"))),
                         fmt_time(times.get((program, "python"))),
                         fmt_time(times.get((program, "lua"))),
                         fmt_ratio(ratio(program, "python")), fmt_ratio(ratio(program, "lua"))])
        if "vormel" in have:
            rows.append(["geometric mean", "", "", "",
                         fmt_ratio(geometric_mean([ratio(p, "python") for p in main_programs])),
                         fmt_ratio(geometric_mean([ratio(p, "lua") for p in main_programs]))])
        print(f"\nBest of {args.repeat} runs, wall time in seconds\n")
        print_table(header, rows)

    pairs = [s for s in SCALING if not wanted or s[1] in wanted or s[2] in wanted]
    if pairs:
        for _, small, large in pairs:
            measure(small)
            measure(large)
        header = ["pair", "language", "small s", "large s", "large/small"]
        rows = []
        for title, small, large in pairs:
            for lang, _, _ in languages:
                t_small, t_large = times.get((small, lang)), times.get((large, lang))
                if small in disagreeing or large in disagreeing:
                    t_small = t_large = None
                rows.append([title, lang, fmt_time(t_small), fmt_time(t_large),
                             fmt_ratio(t_large / t_small if t_small and t_large else None)])
                title = ""
        print("\nSize independence (a large/small ratio near 1 means the cost does not grow)\n")
        print_table(header, rows, text_columns=2)

    if failures:
        print("\nProblems:")
        for failure in failures:
            print(f"  {failure}")
        return 1
    return 0


def print_table(header, rows, text_columns=1):
    """Prints rows under header; the first text_columns columns are left-aligned."""
    widths = [max(len(str(row[i])) for row in [header] + rows) for i in range(len(header))]
    for n, row in enumerate([header] + rows):
        cells = [str(cell).ljust(widths[i]) if i < text_columns else str(cell).rjust(widths[i])
                 for i, cell in enumerate(row)]
        print("  ".join(cells).rstrip())
        if n == 0:
            print("  ".join("-" * w for w in widths))


if __name__ == "__main__":
    sys.exit(main())
