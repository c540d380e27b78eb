#!/usr/bin/env python3
"""Counts the instructions each benchmark program executes in Vormel, Python and Lua.

Runs every program of run.py's main table once per language under valgrind's callgrind tool and
prints the instruction counts (Ir) with the ratios vormel/python and vormel/lua. Unlike wall
times, the counts hardly change from run to run or with the load of the machine. A first row
shows the start-up cost of each language (an empty program), which every count includes; the
net ratios leave it out, comparing only the work of the program itself.

Usage: bench/callgrind.py [VORMEL] [--timeout S] [--only NAME ...] [--keep DIR]
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

from run import HERE, PROGRAMS, REFERENCES, ROOT, SCALING, find_languages, fmt_ratio, geometric_mean, \
    print_table

STARTUP = "start-up"  # the row of the empty program; not part of the means


def count_instructions(command, cwd, workdir, timeout, keep_as=None):
    """Runs command under callgrind; returns (instructions, stdout, problem). With keep_as, the
    profile is left at that path for callgrind_annotate."""
    out_file = keep_as or os.path.join(workdir, "callgrind.out")
    log_file = os.path.join(workdir, "valgrind.log")
    for stale in (out_file, log_file):
        if os.path.exists(stale):
            os.remove(stale)
    valgrind = ["valgrind", "--tool=callgrind", f"--callgrind-out-file={out_file}",
                f"--log-file={log_file}"]
    # Python seeds its string hashes at random, which moves its counts by several percent from
    # run to run; a fixed seed makes them repeatable.
    env = dict(os.environ, PYTHONHASHSEED="0")
    try:
        done = subprocess.run(valgrind + command, cwd=cwd, capture_output=True, timeout=timeout,
                              stdin=subprocess.DEVNULL, env=env)
    except subprocess.TimeoutExpired:
        return None, b"", f"timed out after {timeout:g} s under callgrind"
    if done.returncode != 0:
        return None, done.stdout, f"exit status {done.returncode} under callgrind"
    if done.stderr:
        first = done.stderr.decode(errors="replace").splitlines()[0]
        return None, done.stdout, f"wrote to standard error: {first}"
    try:
        with open(out_file, encoding="utf-8", errors="replace") as profile:
            text = profile.read()
    except OSError as error:
        return None, done.stdout, f"no callgrind output ({error})"
    # The total is the "summary:" line (older valgrind versions: "totals:"); Ir comes first.
    found = re.search(r"^(?:summary|totals):\s+(\d+)", text, re.MULTILINE)
    if not found:
        return None, done.stdout, "no instruction total in the callgrind output"
    return int(found.group(1)), done.stdout, None


def fmt_count(count):
    """An instruction count in millions."""
    return "-" if count is None else f"{count / 1e6:,.1f}"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("vormel", nargs="?", default=os.path.join(ROOT, "build", "vormel"),
                        help="the vormel binary (default: build/vormel)")
    parser.add_argument("--timeout", type=float, default=600.0,
                        help="seconds before one run under callgrind is given up (default: 600)")
    parser.add_argument("--only", nargs="+", metavar="NAME",
                        help="count only these programs (run.py's main table or size pairs)")
    parser.add_argument("--keep", metavar="DIR",
                        help="keep each profile as DIR/NAME.LANGUAGE.callgrind, for "
                             "callgrind_annotate")
    args = parser.parse_args()

    if not shutil.which("valgrind"):
        print("valgrind is not installed (Debian: apt-get install -y valgrind)")
        return 1
    # The references of the wall-time table (LuaJIT's interpreter) are not counted: they cannot
    # run every program, and their outputs would stand in the comparison of the others.
    languages = [lang for lang in find_languages(args.vormel) if lang[0] not in REFERENCES]
    if not languages:
        print("nothing to run")
        return 1

    known = PROGRAMS + [n for _, a, b in SCALING for n in (a, b)]
    if args.only:
        unknown = set(args.only) - set(known)
        if unknown:
            parser.error("unknown program(s): " + ", ".join(sorted(unknown)))
        programs = [p for p in known if p in args.only]
    else:
        programs = list(PROGRAMS)

    if args.keep:
        os.makedirs(args.keep, exist_ok=True)
    failures = []
    counts = {}  # (program, language) -> instructions or None
    disagreeing = set()

    with tempfile.TemporaryDirectory(prefix="vormel-callgrind-") as workdir:
        # The empty program of each language, for the start-up row.
        for _, ext, _ in languages:
            open(os.path.join(workdir, f"empty.{ext}"), "w").close()
        jobs = [(STARTUP, workdir, "empty")] + [(p, HERE, p) for p in programs]
        for program, cwd, stem in jobs:
            outputs = {}
            for lang, ext, prefix in languages:
                source = f"{stem}.{ext}"
                keep_as = None
                if args.keep:
                    keep_as = os.path.abspath(os.path.join(args.keep, f"{stem}.{lang}.callgrind"))
                count, output, problem = count_instructions(prefix + [source], cwd, workdir,
                                                            args.timeout, keep_as)
                if problem:
                    failures.append(f"{program} ({source}): {problem}")
                else:
                    outputs[lang] = output
                counts[(program, lang)] = count
            if len(set(outputs.values())) > 1:
                failures.append(f"{program}: outputs disagree")
                disagreeing.add(program)
            print(f"  counted {program}", file=sys.stderr, flush=True)

    def ratio(program, other, net=False):
        if program in disagreeing:
            return None
        v, o = counts.get((program, "vormel")), counts.get((program, other))
        if v is None or o is None:
            return None
        if net:
            if program == STARTUP:
                return None
            v0, o0 = counts.get((STARTUP, "vormel")), counts.get((STARTUP, other))
            if v0 is None or o0 is None:
                return None
            v, o = v - v0, o - o0
        return v / o if v > 0 and o > 0 else None

    header = ["program", "vormel M", "python M", "lua M", "vormel/python", "vormel/lua",
              "net v/python", "net v/lua"]
    kinds = [("python", False), ("lua", False), ("python", True), ("lua", True)]
    rows = []
    for program in [STARTUP] + programs:
        rows.append([program] + [fmt_count(counts.get((program, lang)))
                                 for lang in ("vormel", "python", "lua")] +
                    [fmt_ratio(ratio(program, other, net)) for other, net in kinds])
    if any(lang == "vormel" for lang, _, _ in languages):
        rows.append(["geometric mean", "", "", ""] +
                    [fmt_ratio(geometric_mean([ratio(p, other, net) for p in programs]))
                     for other, net in kinds])
    print("\nInstructions executed (callgrind Ir, millions; start-up included)\n")
    print_table(header, rows)

    if failures:
        print("\nProblems:")
        for failure in failures:
            print(f"  {failure}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
