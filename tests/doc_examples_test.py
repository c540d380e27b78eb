#!/usr/bin/env python3
"""Runs every example of a Markdown guide and checks what it shows.

Fenced blocks, by their info string:
- ```vormel            a script, run in a fresh folder. The blocks right after it give
                       what it must do: ```input (standard input, optional), ```output
                       (standard output, required), ```errors (standard error without its
                       colour codes, optional: none means no error line at all).
- ```vormel file=M.vl  a module file: saved as M.vl in the folder of every later script of
                       the guide, not run by itself.
- ```repl              an interactive session as it looks at a terminal: the lines after
                       ">>> " and "... " are typed, the others are printed. It runs with the
                       typed lines on standard input and must print the same (the banner
                       first, and the prompts without the echo of what was typed).
Any other fenced block is an error: the guide shows nothing that is not run.

Usage: doc_examples_test.py BINARY GUIDE.md"""
import os
import re
import subprocess
import sys
import tempfile

TIMEOUT_SECONDS = 60
BANNER = "Welcome to Vormel Interactive REPL!\nType 'exit' to quit.\n\n"
FENCE = re.compile(r"^```([^\n]*)\n(.*?)^```[ \t]*$", re.M | re.S)
COLOUR = re.compile(r"\x1b\[[0-9;]*m")


def blocks(text):
    """(kind, options, body, line number) of every fenced block, in order."""
    for match in FENCE.finditer(text):
        info = match.group(1).split()
        kind = info[0] if info else ""
        options = dict(item.split("=", 1) for item in info[1:] if "=" in item)
        line = text.count("\n", 0, match.start()) + 1
        yield kind, options, match.group(2), line


def run(binary, folder, args, stdin):
    result = subprocess.run([binary, *args], cwd=folder, input=stdin, capture_output=True,
                            text=True, timeout=TIMEOUT_SECONDS)
    return result.returncode, result.stdout, COLOUR.sub("", result.stderr)


def repl_expectation(transcript):
    typed, shown = [], [BANNER]
    for line in transcript.splitlines():
        prompt = line[:4]
        if prompt in (">>> ", "... ") or line in (">>>", "..."):
            typed.append(line[4:] + "\n")
            shown.append(prompt if prompt in (">>> ", "... ") else line + " ")
        else:
            shown.append(line + "\n")
    return "".join(typed), "".join(shown)


def main():
    binary = os.path.abspath(sys.argv[1])
    guide = sys.argv[2]
    with open(guide, encoding="utf-8") as f:
        items = list(blocks(f.read()))
    failures, examples = [], 0
    modules = {}
    i = 0
    with tempfile.TemporaryDirectory() as root:
        while i < len(items):
            kind, options, body, line = items[i]
            i += 1
            where = f"{guide}:{line}"
            if kind == "vormel" and "file" in options:
                modules[options["file"]] = body
                continue
            if kind == "repl":
                stdin, expected_out = repl_expectation(body)
                expected_err, args, script = "", [], None
            elif kind == "vormel":
                expected = {}
                while i < len(items) and items[i][0] in ("input", "output", "errors"):
                    expected[items[i][0]] = items[i][2]
                    i += 1
                if "output" not in expected:
                    failures.append(f"{where}: a script without an output block")
                    continue
                stdin = expected.get("input", "")
                expected_out = expected["output"]
                expected_err = expected.get("errors", "")
                args, script = ["example.vl"], body
            else:
                failures.append(f"{where}: a block of kind {kind!r} that is not run")
                continue
            examples += 1
            folder = tempfile.mkdtemp(dir=root)
            for name, text in modules.items():
                with open(os.path.join(folder, name), "w", encoding="utf-8") as f:
                    f.write(text)
            if script is not None:
                with open(os.path.join(folder, "example.vl"), "w", encoding="utf-8") as f:
                    f.write(script)
            status, out, err = run(binary, folder, args, stdin)
            if (status, out, err) != (0, expected_out, expected_err):
                failures.append(f"{where}: status {status}\n--- printed:\n{out}--- expected:\n"
                                f"{expected_out}--- errors:\n{err}--- expected errors:\n"
                                f"{expected_err}")
    for failure in failures:
        print(failure)
    print(f"{examples} examples run, {len(failures)} failures")
    if examples == 0:
        print("no examples found")
        return 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
