#!/usr/bin/env python3
"""http.json output read back by a real JSON parser (python's json module): hostile strings
with quotes, backslashes, every control character and would-be injected structure, NaN and
the infinities, nesting, and the exact text of every kind.

Usage: json_test.py VORMEL_BINARY"""
import json
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from http_test_support import Workspace, run_script  # noqa: E402

VORMEL = None

# Raw characters go into the script's string literals as they are; the lexer's own escapes
# (\n \t \r \\ \") are written as escapes.
HOSTILE = [
    "plain",
    'say "hi"',
    "back\\slash",
    "line\nfeed",
    "".join(chr(c) for c in range(1, 32) if c not in (10, 13)),
    "cr\rlf",
    '"}, {"injected": 1',
    '\\"',
    "h\u00e9llo \u20ac \U0001F600 \u2028 \x7f",
    "",
]


def literal(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n") \
        .replace("\r", "\\r") + '"'


class JsonTest(unittest.TestCase):
    def setUp(self):
        self.workspace = Workspace()

    def tearDown(self):
        self.workspace.close()

    def json_lines(self, *expressions):
        source = "use http\n" + "".join(f"print(http.json({e}))\n" for e in expressions)
        out, err, status = run_script(VORMEL, self.workspace, source)
        self.assertEqual((err, status), (b"", 0))
        return out.decode("utf-8").split("\n")[:-1]

    def test_hostile_strings_parse_back_unchanged(self):
        lines = self.json_lines(*(literal(s) for s in HOSTILE),
                                "[" + ", ".join(literal(s) for s in HOSTILE) + "]",
                                "{k: " + literal(HOSTILE[6]) + ", q: " + literal(HOSTILE[4]) + "}")
        for line, expected in zip(lines, HOSTILE):
            self.assertEqual(json.loads(line), expected)
        self.assertEqual(json.loads(lines[len(HOSTILE)]), HOSTILE)
        self.assertEqual(json.loads(lines[len(HOSTILE) + 1]), {"k": HOSTILE[6], "q": HOSTILE[4]})
        # Control characters use the short escapes where JSON has them, else lower-case hex.
        self.assertEqual(lines[4][:1 + 6 * 3], '"\\u0001\\u0002\\u0003')
        self.assertIn("\\b\\t", lines[4])
        self.assertIn("\\f\\u000e", lines[4])
        self.assertTrue(lines[4].endswith('\\u001f"'))

    def test_non_finite_floats_are_null(self):
        lines = self.json_lines("sqrt(-1.0)", "[pow(10.0, 400.0), -pow(10.0, 400.0), 1.5]",
                                "{x: pow(10.0, 400.0) - pow(10.0, 400.0)}")
        self.assertEqual(lines, ["null", "[null,null,1.5]", '{"x":null}'])
        self.assertEqual(json.loads(lines[1]), [None, None, 1.5])

    def test_every_kind_has_its_exact_text(self):
        self.assertEqual(self.json_lines(
            '[1, 2.5, "a", true, false, print()]', "-9223372036854775807 - 1", "3.0",
            "0.1 + 0.2", "-0.0", "[]", "{}", "rect(1, 2, 3, 4)", "color(1, 2, 3)",
            "circle(1, 2, 3)", "triangle(1, 2, 3, 4, 5, 6)", "{a: [1, {b: {}}]}"), [
            '[1,2.5,"a",true,false,null]', "-9223372036854775808", "3",
            "0.30000000000000004", "-0", "[]", "{}", "null", "null", "null", "null",
            '{"a":[1,{"b":{}}]}'])

    def test_deep_nesting_gives_the_whole_text(self):
        depth = 200_000
        source = ("use http\nlet a = 1\nlet i = 0\nwhile i < %d { a = [a]; i = i + 1 }\n"
                  "let t = http.json(a)\nprint(len(t))\n" % depth)
        out, err, status = run_script(VORMEL, self.workspace, source)
        self.assertEqual((err, status), (b"", 0))
        self.assertEqual(out, b"%d\n" % (2 * depth + 1))


if __name__ == "__main__":
    VORMEL = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
