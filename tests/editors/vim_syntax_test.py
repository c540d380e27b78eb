#!/usr/bin/env python3
"""Checks the Vim files under editors/vim with Vim itself, in silent Ex mode (vim -es):
a .vl file gets the filetype vormel, and keywords, strings, escapes, numbers, comments,
and every built-in and module function (as "vormel-check --list-names" reports them from
the interpreter's tables) get their syntax groups; and ":compiler vormel" with ":make"
reads the checker's warnings into the quickfix list with their lines and columns.

Usage: vim_syntax_test.py PATH/TO/vormel-check
"""
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))

# (code line, piece, expected syntax group at the piece's first character)
PROBES = [
    ('if x > 1 { print(x) } else { }', 'if', 'vormelConditional'),
    ('if x > 1 { print(x) } else { }', 'else', 'vormelConditional'),
    ('if x > 1 { print(x) } else { }', 'print', 'vormelBuiltin'),
    ('if x > 1 { print(x) } else { }', '>', 'vormelOperator'),
    ('while true { break }', 'while', 'vormelRepeat'),
    ('while true { break }', 'true', 'vormelBoolean'),
    ('for i in 1..3 { continue }', 'in', 'vormelRepeat'),
    ('for i in 1..3 { continue }', '1', 'vormelNumber'),
    ('for i in 1..3 { continue }', '..', 'vormelOperator'),
    ('match v { _ => 0 }', 'match', 'vormelConditional'),
    ('try { f() } catch e { }', 'catch', 'vormelException'),
    ('let total = 2.5 ** 2', 'let', 'vormelStorage'),
    ('let total = 2.5 ** 2', '2.5', 'vormelFloat'),
    ('let total = 2.5 ** 2', '**', 'vormelOperator'),
    ('global count', 'global', 'vormelStorage'),
    ('use sdl2 as g', 'use', 'vormelInclude'),
    ('def area(w, h) { return w * h }', 'def', 'vormelDefine'),
    ('def area(w, h) { return w * h }', 'area', 'vormelFunctionName'),
    ('def area(w, h) { return w * h }', 'return', 'vormelStatement'),
    ('x = a and not b', 'and', 'vormelLogical'),
    ('s = "tab\\there # not a comment"', '"tab', 'vormelString'),
    ('s = "tab\\there # not a comment"', '\\t', 'vormelEscape'),
    ('s = "tab\\there # not a comment"', '# not', 'vormelString'),
    ('x = 1 # TODO later', '# TODO', 'vormelComment'),
    ('x = 1 # TODO later', 'TODO', 'vormelTodo'),
    ('x = 1 /* block */ + 2', 'block', 'vormelBlockComment'),
    ('sdl2.create_window("t", 640, 480)', 'sdl2', 'vormelModuleFunction'),
    ('http.serve(8080)', 'http', 'vormelModuleFunction'),
    ('printer = lengths(xs)', 'printer', ''),
    ('xs.len()', 'len', ''),  # a member call, not the built-in
]


def library_names(checker):
    run = subprocess.run([checker, "--list-names"], capture_output=True, timeout=60, check=True)
    return run.stdout.decode().split()


def check_compiler(checker):
    """The quickfix list after running the checker through the compiler file's settings."""
    with tempfile.TemporaryDirectory() as tmp:
        sample = os.path.join(tmp, "mistake.vl")
        result = os.path.join(tmp, "quickfix.txt")
        with open(sample, "w", encoding="utf-8") as f:
            f.write("let x = 1\nif x > 0 {\n} else if x {\n}\nprint(1 +)\n")
        script = os.path.join(tmp, "compiler.vim")
        with open(script, "w", encoding="utf-8") as f:
            f.write("compiler vormel\n"
                    "silent make\n"
                    "call writefile(map(getqflist(), {_, e -> e.lnum . ':' . e.col . ':' . e.text}),"
                    f" '{result}')\n"
                    "qa!\n")
        env = dict(os.environ, PATH=os.path.dirname(checker) + os.pathsep + os.environ["PATH"])
        subprocess.run(["vim", "-es", "-N", "-u", "NONE", "-i", "NONE",
                        "--cmd", f"set runtimepath^={os.path.join(ROOT, 'editors', 'vim')}",
                        "-S", script, sample], cwd=tmp, env=env, capture_output=True, timeout=60,
                       stdin=subprocess.DEVNULL)
        if not os.path.exists(result):
            return ["the compiler file produced no quickfix list"]
        with open(result, encoding="utf-8") as f:
            got = f.read().splitlines()
    wanted = ["3:8:'else' followed by 'if': write else { if ... }",
              "5:10:expression expected after '+'"]
    return [] if got == wanted else [f"quickfix list {got!r}, expected {wanted!r}"]


def main():
    checker = os.path.abspath(sys.argv[1])
    names = library_names(checker)
    builtins = [n for n in names if "." not in n]
    modules = [n for n in names if "." in n]
    if len(builtins) != 39 or not modules:
        print(f"expected 39 built-ins and some module functions, got {names}")
        return 1
    probes = PROBES + [(f"x = {name}(1)", name, "vormelBuiltin") for name in builtins]
    probes += [(f"x = {name}(1)", name, "vormelModuleFunction") for name in modules]
    with tempfile.TemporaryDirectory() as tmp:
        sample = os.path.join(tmp, "sample.vl")
        result = os.path.join(tmp, "result.txt")
        with open(sample, "w", encoding="utf-8") as f:
            f.write("\n".join(code for code, _, _ in probes) + "\n")
        lines = ["let g:out = [&filetype]"]
        for number, (code, piece, _) in enumerate(probes, start=1):
            column = code.index(piece) + 1
            lines.append(f'call add(g:out, synIDattr(synID({number}, {column}, 1), "name"))')
        lines += [f"call writefile(g:out, '{result}')", "qa!"]
        script = os.path.join(tmp, "probe.vim")
        with open(script, "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        command = ["vim", "-es", "-N", "-u", "NONE", "-i", "NONE",
                   "--cmd", f"set runtimepath^={os.path.join(ROOT, 'editors', 'vim')}",
                   "--cmd", "filetype on", "--cmd", "syntax on",
                   "-S", script, sample]
        run = subprocess.run(command, capture_output=True, timeout=60, stdin=subprocess.DEVNULL)
        if not os.path.exists(result):
            print("vim wrote no result:", run.returncode, run.stdout, run.stderr)
            return 1
        with open(result, encoding="utf-8") as f:
            got = f.read().split("\n")
    failures = []
    if got[0] != "vormel":
        failures.append(f"filetype of a .vl file is {got[0]!r}, expected 'vormel'")
    for (code, piece, group), actual in zip(probes, got[1:]):
        if actual != group:
            failures.append(f"{code!r}: {piece!r} is in group {actual!r}, expected {group!r}")
    failures += check_compiler(checker)
    for failure in failures:
        print(failure)
    print(f"{len(probes)} probes")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
