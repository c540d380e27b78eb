#!/usr/bin/env python3
"""Compares json.parse and json.text with python's json module on a corpus of texts.

Each text is parsed by one script (every case in one run). A text python accepts must give
the same data (same kinds: a Number where python has an int, a Float where it has a float;
dict keys in the same order), and json.text(value, 2) must be laid out as
json.dumps(indent=2, ensure_ascii=False) lays it out. A text python rejects must be an Error.
DIFFERENCES lists the texts where json.parse decides otherwise on purpose.

Usage: json_python_test.py BINARY"""
import json
import math
import os
import re
import subprocess
import sys
import tempfile

MARK = "@@case"
DEPTH_LIMIT = 1000

VALID = [
    '{"a": 1, "b": [true, false, null], "c": "x"}',
    '[]', '{}', ' \t\r\n [ ] \n', '{"": ""}', '{"x": {"y": {"z": []}, "w": {}}}',
    '[1, -0, 0.5, -1.5e-7, 1E+2, 2.5e+300, 1e16, 1e-5, 0.1, -0.0, 1.0]',
    '9223372036854775807', '-9223372036854775808', '9223372036854775808',
    '123456789012345678901234567890', '-123456789012345678901234567890',
    '"\\u00e9\\ud83d\\ude00"', '"\\u0000 \\u001f \\u007f"', '"\u00e9\U0001F600 \u2028"',
    '"\\"\\\\\\/\\b\\f\\n\\r\\t"', '"\x7f"',
    '{"a": 1, "a": 2}', '{"a": 1, "b": 2, "a": 3}', '{"k": {"a": 1}, "k": [2]}',
    '[' * DEPTH_LIMIT + ']' * DEPTH_LIMIT,
    '[{"a": [{"b": [[], {}, [1, {"c": "d"}]]}]}]',
    'true', 'false', 'null', '"text"', '5', '-1.25',
]

INVALID = [
    '[1, 2,]', '{"a": 1,}', '[,]', '// comment\n[1]', '/* comment */ 1', '[1] // comment',
    "'single'", '{a: 1}', '01', '1.', '.5', '-', '+1', '1e', '1e+', '0x10', '"\\x41"',
    '"\\u12"', '"\\u12G4"', '[1 2]', '{"a" 1}', '{"a":}', '{1: 2}', '', '   ', 'tru', 'nul',
    'true false', '[', ']', '{"a":1', '"abc', '"a\nb"', '"a\tb"', '"a\x00b"', '"\x1f"',
    '[1]]', '{"a": 1}}', 'True', 'None', '\u00a0[1]',
]

# Where json.parse decides otherwise than python, and why.
DIFFERENCES = {
    # JSON has no NaN or infinity; python's parser accepts these words, json.parse does not.
    'NaN': 'error', '[Infinity]': 'error', '-Infinity': 'error',
    # A number too large for a double: python gives inf, which no JSON text can hold.
    '1e400': 'error', '-1e400': 'error',
    # A \u escape of half a surrogate pair is no character: python keeps a lone surrogate in
    # its string, json.parse rejects it (the strings here are UTF-8).
    '"\\ud800"': 'error', '"\\udc00"': 'error', '"\\ud800\\u0041"': 'error',
    # Nesting is bounded (python's own bound is its recursion limit, raised for this test).
    '[' * (DEPTH_LIMIT + 1) + ']' * (DEPTH_LIMIT + 1): 'error',
    # A byte order mark before the text is skipped; python's loads of a str rejects it.
    '\ufeff[1]': 'value',
}


def python_value(text):
    """Python's reading of `text`, or None if it raises."""
    try:
        return ("value", json.loads(text))
    except (ValueError, RecursionError):
        return ("error", None)


def normalized(value):
    """`value` as json.parse gives it: integers past 64 bits become floats."""
    if isinstance(value, bool) or value is None or isinstance(value, str):
        return value
    if isinstance(value, int):
        return value if -2**63 <= value < 2**63 else float(value)
    if isinstance(value, float):
        return value
    if isinstance(value, list):
        return [normalized(item) for item in value]
    return {key: normalized(item) for key, item in value.items()}


def shape(value):
    """A form of `value` that compares kinds, key order and float signs strictly."""
    if isinstance(value, float):
        return ("float", repr(value))
    if isinstance(value, list):
        return ("list", [shape(item) for item in value])
    if isinstance(value, dict):
        return ("dict", [(key, shape(item)) for key, item in value.items()])
    return (type(value).__name__, value)


def python_layout(value):
    """json.dumps(indent=2) with exponents written the short way ("1e16", "1e-5")."""
    text = json.dumps(value, indent=2, ensure_ascii=False)
    return re.sub(r"(?<=\d)e\+?(-?)0*(\d)", r"e\1\2", text)


def literal(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def run_script(binary, cases):
    # An Error argument makes the call of `report` an Error, which the try catches.
    lines = ["use json",
             'def report(value) { print("value"); print(json.text(value)); print(json.text(value, 2)) }',
             'def check(text) { try { return report(json.parse(text)) } catch e { print("error") } }']
    for text in cases:
        lines.append(f'print("{MARK}")')
        lines.append(f"check({literal(text)})")
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "compare.vl")
        with open(path, "w", encoding="utf-8", newline="") as script:
            script.write("\n".join(lines) + "\n")
        result = subprocess.run([binary, path], capture_output=True, timeout=120, cwd=folder)
    output = result.stdout.decode("utf-8")
    answers = output.split(MARK + "\n")[1:]
    if len(answers) != len(cases):
        sys.exit(f"expected {len(cases)} answers, got {len(answers)}:\n{output[-2000:]}")
    return answers


def main():
    sys.setrecursionlimit(20000)
    binary = sys.argv[1]
    cases = VALID + INVALID + list(DIFFERENCES)
    failures = []
    for text, answer in zip(cases, run_script(binary, cases)):
        kind, value = python_value(text)
        kind = DIFFERENCES.get(text, kind)
        parts = answer.split("\n", 2)
        label = repr(text if len(text) < 60 else text[:60] + "...")
        if parts[0] != kind:
            failures.append(f"{label}: python gives {kind}, json.parse gives {parts[0]}")
            continue
        if kind == "error" or text in DIFFERENCES:
            continue
        compact, indented = parts[1], parts[2].rstrip("\n")
        expected = normalized(value)
        if shape(json.loads(compact)) != shape(expected):
            failures.append(f"{label}: json.text gives {compact!r}")
        if indented != python_layout(expected):
            failures.append(f"{label}: json.text(value, 2) gives {indented!r}")
    for failure in failures:
        print(failure)
    print(f"{len(cases) - len(failures)} of {len(cases)} texts agree")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
