#!/usr/bin/env python3
"""Installs Vormel as a user would and checks what arrives.

1. `cmake --install` into a temporary prefix: the installed binary runs an installed example
   from another folder with the expected output; the manual page, guides and examples are
   where the manual page says.
2. The manual page renders with `man -l` at 80 columns without a warning, with every
   section it promises.
3. `cpack -G DEB` makes a package: its control fields (name, the version `vormel -v`
   prints, runtime libraries as dependencies and no -dev packages) and file list are checked
   with dpkg-deb, and the binary unpacked from it runs.

Usage: package_test.py BUILD_DIR SOURCE_DIR"""
import os
import re
import subprocess
import sys
import tempfile

TIMEOUT_SECONDS = 300
MAN_SECTIONS = ["NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "THE INTERACTIVE LOOP",
                "MODULES", "FILES", "EXIT STATUS", "EXAMPLES", "SEE ALSO"]
DOCS = ["README.md", "tutorial.md", "coming_from_python_or_lua.md", "language.md"]


def run(args, **kwargs):
    result = subprocess.run(args, capture_output=True, text=True, timeout=TIMEOUT_SECONDS,
                            **kwargs)
    if result.returncode != 0:
        raise AssertionError(f"{args} failed with {result.returncode}:\n{result.stdout}\n"
                             f"{result.stderr}")
    return result


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def check_runs_example(binary, examples, source, folder):
    """Runs the installed hello example from `folder` and compares with the expected output."""
    result = run([binary, os.path.join(examples, "hello.vl")], cwd=folder)
    with open(os.path.join(source, "tests", "examples", "hello.out")) as expected:
        check(result.stdout == expected.read(), f"hello.vl printed {result.stdout!r}")


def version_of(binary):
    line = run([binary, "-v"]).stdout.strip()
    match = re.fullmatch(r"Vormel version (\S+)", line)
    check(match is not None, f"unexpected version line {line!r}")
    return match.group(1)


def installed_tree(build, source, work):
    prefix = os.path.join(work, "prefix")
    run(["cmake", "--install", build, "--prefix", prefix])
    binary = os.path.join(prefix, "bin", "vormel")
    docs = os.path.join(prefix, "share", "doc", "vormel")
    page = os.path.join(prefix, "share", "man", "man1", "vormel.1")
    check(os.access(binary, os.X_OK), "bin/vormel is not installed")
    check(os.path.isfile(page), "the manual page is not installed")
    for doc in DOCS:
        check(os.path.isfile(os.path.join(docs, doc)), f"{doc} is not installed")
    examples = os.path.join(docs, "examples")
    check_runs_example(binary, examples, source, work)
    return page


def manual_page(page):
    env = dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8", MAN_DISABLE_SECCOMP="1")
    result = subprocess.run(["man", "--warnings", "-l", page], capture_output=True, text=True,
                            env=env, timeout=TIMEOUT_SECONDS)
    check(result.returncode == 0, f"man failed with {result.returncode}: {result.stderr}")
    check(result.stderr == "", f"man warned:\n{result.stderr}")
    lines = result.stdout.splitlines()
    for section in MAN_SECTIONS:
        check(section in lines, f"the manual page has no {section} section")
    wide = [line for line in lines if len(line) > 80]
    check(not wide, f"lines wider than 80 columns: {wide}")


def debian_package(build, source, work):
    packages = os.path.join(work, "packages")
    run(["cpack", "-G", "DEB", "-B", packages, "--config",
         os.path.join(build, "CPackConfig.cmake")], cwd=build)
    debs = [name for name in os.listdir(packages) if name.endswith(".deb")]
    check(len(debs) == 1, f"expected one .deb, found {debs}")
    deb = os.path.join(packages, debs[0])

    fields = {}
    for line in run(["dpkg-deb", "-f", deb, "Package", "Version", "Architecture",
                     "Maintainer", "Depends", "Section", "Description"]).stdout.splitlines():
        if ": " in line and not line.startswith(" "):
            key, value = line.split(": ", 1)
            fields[key] = value
    check(fields.get("Package") == "vormel", f"Package is {fields.get('Package')!r}")
    check(fields.get("Section") == "interpreters", f"Section is {fields.get('Section')!r}")
    check(fields.get("Maintainer"), "no Maintainer field")
    check(fields.get("Description"), "no Description field")
    arch = run(["dpkg", "--print-architecture"]).stdout.strip()
    check(fields.get("Architecture") == arch, f"Architecture is {fields.get('Architecture')!r}")

    depends = [d.strip().split(" ")[0] for d in fields.get("Depends", "").split(",")]
    check(not [d for d in depends if d.endswith("-dev")], f"-dev packages in Depends: {depends}")
    linked = run(["ldd", os.path.join(build, "vormel")]).stdout
    wanted = {"libicuuc": r"libicu\d+", "libedit": r"libedit2", "libSDL2": r"libsdl2-2\.0-0"}
    for library, package in wanted.items():
        if library in linked:
            check(any(re.fullmatch(package, d) for d in depends),
                  f"links {library} but Depends has no {package}: {depends}")
    if "libicuuc" not in linked:  # linked in statically: ICU's data travels in the binary
        with open(os.path.join(build, "vormel"), "rb") as binary_file:
            check(b"icudt" in binary_file.read(), "the binary neither links nor carries ICU")

    files = run(["dpkg-deb", "-c", deb]).stdout
    for path in ["./usr/bin/vormel", "./usr/share/man/man1/vormel.1",
                 "./usr/share/doc/vormel/tutorial.md", "./usr/share/doc/vormel/examples/hello.vl"]:
        check(re.search(r"\s" + re.escape(path) + r"$", files, re.M), f"{path} not in the .deb")

    unpacked = os.path.join(work, "unpacked")
    run(["dpkg-deb", "-x", deb, unpacked])
    binary = os.path.join(unpacked, "usr", "bin", "vormel")
    check(fields.get("Version") == version_of(binary),
          f"package version {fields.get('Version')!r} is not the program's")
    check_runs_example(binary, os.path.join(unpacked, "usr", "share", "doc", "vormel",
                                            "examples"), source, work)


def main():
    build, source = (os.path.abspath(a) for a in sys.argv[1:3])
    with tempfile.TemporaryDirectory() as work:
        page = installed_tree(build, source, work)
        manual_page(page)
        debian_package(build, source, work)
    return 0


if __name__ == "__main__":
    sys.exit(main())
