#!/usr/bin/env python3
"""Runs the benchmark programs in Vormel, Python and Lua side by side.

Each program NAME exists as NAME.vl, NAME.py and NAME.lua in this folder and prints the same
lines in all three languages. Every program is run N times per language, the languages taking
turns; the median wall time counts, and the median peak resident set. The outputs of the three
versions must agree. LuaJIT with its compiler off (`luajit -joff`, its interpreter alone) runs
the .lua files as a second reference where it can: it has no 64-bit integers and no `//`, so
programs that need them show `-` in its column, with a note.

Usage: bench/run.py [VORMEL] [-n N] [--timeout S] [--only NAME ...]
"""

import argparse
import math
import os
import shutil
import subprocess
import sys
import tempfile
import threading
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
    for name, ext, exe, flags in (("python", "py", "python3", []), ("lua", "lua", "lua5.4", []),
                                  ("luajit", "lua", "luajit", ["-joff"])):
        path = shutil.which(exe)
        if path:
            languages.append((name, ext, [real_python(path) if name == "python" else path] + flags))
        else:
            print(f"note: {exe} is not installed; its column is skipped")
    return languages


# Languages whose failures are notes, not problems: references that cannot run every program.
REFERENCES = {"luajit"}


# GNU time measures the peak: the resident set a child reports counts its time as a fork of
# this Python process, before it became the program.
GNU_TIME = "/usr/bin/time"


def run_once(command, timeout):
    """Runs command once; returns (seconds, peak resident kB, stdout, problem), problem None
    when it ran. The time includes GNU time's own start, the same for every language."""
    peak_file = os.path.join(tempfile.gettempdir(), f"vormel-bench-peak.{os.getpid()}")
    start = time.perf_counter()
    child = subprocess.Popen([GNU_TIME, "-f", "%M", "-o", peak_file] + command, cwd=HERE, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                             stderr=subprocess.PIPE)
    streams = {}

    def drain(name, stream):
        streams[name] = stream.read()

    readers = [threading.Thread(target=drain, args=(n, st))
               for n, st in (("out", child.stdout), ("err", child.stderr))]
    for reader in readers:
        reader.start()
    timer = threading.Timer(timeout, child.kill)
    timer.start()
    _, status = os.waitpid(child.pid, 0)
    seconds = time.perf_counter() - start
    try:
        with open(peak_file) as f:
            peak = int(f.read().split()[-1])
    except (OSError, ValueError, IndexError):
        peak = None
    if os.path.exists(peak_file):
        os.remove(peak_file)
    timed_out = not timer.is_alive()
    timer.cancel()
    for reader in readers:
        reader.join()
    child.returncode = os.waitstatus_to_exitcode(status)
    stdout, stderr = streams.get("out", b""), streams.get("err", b"")
    if timed_out:
        return None, None, b"", f"timed out after {timeout:g} s"
    if child.returncode != 0:
        return seconds, peak, stdout, f"exit status {child.returncode}"
    if stderr:
        first = stderr.decode(errors="replace").splitlines()[0]
        return seconds, peak, stdout, f"wrote to standard error: {first}"
    return seconds, peak, stdout, None


def median(values):
    ordered = sorted(values)
    middle = len(ordered) // 2
    return ordered[middle] if len(ordered) % 2 else (ordered[middle - 1] + ordered[middle]) / 2


def fmt_time(seconds):
    return "-" if seconds is None else f"{seconds:.3f}"


def fmt_memory(kilobytes):
    return "-" if kilobytes is None else f"{kilobytes / 1024:.1f}"


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
                        help="runs per program and language; the median counts (default: 3)")
    parser.add_argument("--timeout", type=float, default=300.0,
                        help="seconds before one run is given up (default: 300)")
    parser.add_argument("--only", nargs="+", metavar="NAME",
                        help="run only these programs (main table or scaling pairs)")
    args = parser.parse_args()
    if args.repeat < 1:
        parser.error("-n must be at least 1")

    if not os.access(GNU_TIME, os.X_OK):
        print(f"{GNU_TIME} (Debian's package time) is needed to measure memory")
        return 1
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
    notes = []
    times = {}  # (program, language) -> median seconds or None
    memory = {}  # (program, language) -> median peak resident kB or None
    disagreeing = set()  # programs whose versions printed different outputs

    def measure(program):
        runs = {lang: [] for lang, _, _ in languages}
        outputs, problems = {}, {}
        for _ in range(args.repeat):  # the languages take turns
            for lang, ext, prefix in languages:
                if lang in problems:
                    continue
                seconds, peak, output, problem = run_once(prefix + [f"{program}.{ext}"],
                                                          args.timeout)
                if problem is None and outputs.setdefault(lang, output) != output:
                    problem = "output differs between runs"
                if problem:
                    problems[lang] = problem
                    continue
                runs[lang].append((seconds, peak))
        for lang, ext, _ in languages:
            good = lang not in problems
            times[(program, lang)] = median([t for t, _ in runs[lang]]) if good else None
            memory[(program, lang)] = median([m for _, m in runs[lang]]) if good else None
            if not good:
                (notes if lang in REFERENCES else failures).append(
                    f"{program}.{ext} ({lang}): {problems[lang]}")
                outputs.pop(lang, None)
        main_outputs = {lang: out for lang, out in outputs.items() if lang not in REFERENCES}
        if len(set(main_outputs.values())) > 1:
            shown = "; ".join(f"{lang}: {out.decode(errors='replace').strip()!r}"
                              for lang, out in main_outputs.items())
            failures.append(f"{program}: outputs disagree ({shown})")
            disagreeing.add(program)
        for lang in REFERENCES & set(outputs):
            if main_outputs and outputs[lang] not in main_outputs.values():
                notes.append(f"{program} ({lang}): its output differs; its column shows -")
                times[(program, lang)] = memory[(program, lang)] = None
        print(f"  ran {program}", file=sys.stderr)

    have = {lang for lang, _, _ in languages}

    def ratio(program, other, table=times):
        if program in disagreeing:
            return None
        v, o = table.get((program, "vormel")), table.get((program, other))
        return v / o if v and o else None

    main_programs = [p for p in PROGRAMS if not wanted or p in wanted]
    if main_programs:
        for program in main_programs:
            measure(program)
        header = ["program", "vormel s", "python s", "lua s", "luajit -joff s", "vormel/python",
                  "vormel/lua", "vormel/luajit"]
        rows = []
        for program in main_programs:
            rows.append([program] + [fmt_time(times.get((program, lang)))
                                     for lang in ("vormel", "python", "lua", "luajit")] +
                        [fmt_ratio(ratio(program, lang)) for lang in ("python", "lua", "luajit")])
        if "vormel" in have:
            rows.append(["geometric mean", "", "", "", ""] +
                        [fmt_ratio(geometric_mean([ratio(p, lang) for p in main_programs]))
                         for lang in ("python", "lua", "luajit")])
        print(f"\nMedian of {args.repeat} runs, the languages taking turns, wall time in seconds\n")
        print_table(header, rows)
        header = ["program", "vormel MB", "python MB", "lua MB", "luajit MB", "vormel/python",
                  "vormel/lua"]
        rows = [[program] + [fmt_memory(memory.get((program, lang)))
                             for lang in ("vormel", "python", "lua", "luajit")] +
                [fmt_ratio(ratio(program, lang, memory)) for lang in ("python", "lua")]
                for program in main_programs]
        print("\nPeak resident set (median), MB\n")
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

    if notes:
        print("\nNotes:")
        for note in notes:
            print(f"  {note}")
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
