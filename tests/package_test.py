#!/usr/bin/env python3
"""Installs Vormel as a user would and checks what arrives.

1. `cmake --install` into a temporary prefix: the interpreter, checker and language server,
   their manual pages, the guides with links that resolve where they are installed, every
   example with all its files, and the editor files. The installed interpreter runs an
   example from another folder and serves the site example from its installed folder (its
   pages fetched over HTTP); the installed checker reports a file with a mistake.
2. The manual pages render with `man -l` at 80 columns without a warning, with every section
   they promise.
3. `cpack -G DEB` makes a package: its control fields (name, the version `vormel -v`
   prints, runtime libraries as dependencies and no -dev packages) and file list (printed)
   are checked with dpkg-deb, and the binary unpacked from it runs.

Usage: package_test.py BUILD_DIR SOURCE_DIR"""
import os
import re
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "http"))
from http_test_support import free_port  # noqa: E402

TIMEOUT_SECONDS = 300
COMMON_SECTIONS = ["NAME", "SYNOPSIS", "DESCRIPTION", "EXIT STATUS", "SEE ALSO"]
MAN_PAGES = {
    "vormel": COMMON_SECTIONS + ["OPTIONS", "THE INTERACTIVE LOOP", "MODULES", "FILES",
                                 "EXAMPLES"],
    "vormel-check": COMMON_SECTIONS + ["OPTIONS", "EXAMPLES"],
    "vormel-lsp": COMMON_SECTIONS,
}
PROGRAMS = ["vormel", "vormel-check", "vormel-lsp"]
DOCS = ["README.md", "docs/tutorial.md", "docs/coming_from_python_or_lua.md",
        "docs/language.md", "docs/editor_support.md"]
EDITOR_FILES = ["vim/syntax/vormel.vim", "vim/ftdetect/vormel.vim", "vim/compiler/vormel.vim",
                "vscode/package.json", "vscode/syntaxes/vormel.tmLanguage.json"]
MARKDOWN_LINK = re.compile(r"\]\(([^)#\s]+)(?:#[^)]*)?\)")


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


def files_under(folder):
    return sorted(os.path.relpath(os.path.join(root, name), folder)
                  for root, _, names in os.walk(folder) for name in names)


def check_links(docs):
    """Every relative link of every installed guide names a file that is installed."""
    for name in files_under(docs):
        if not name.endswith(".md"):
            continue
        path = os.path.join(docs, name)
        with open(path, encoding="utf-8") as f:
            text = re.sub(r"```.*?```|`[^`\n]*`", "", f.read(), flags=re.S)  # code
            for target in MARKDOWN_LINK.findall(text):
                if "://" in target:
                    continue
                resolved = os.path.normpath(os.path.join(os.path.dirname(path), target))
                check(os.path.exists(resolved), f"{name} links to {target}, not installed")


def fetch(url, deadline):
    """The status and body of a GET, retried while the server is not yet listening."""
    while True:
        try:
            with urllib.request.urlopen(url, timeout=10) as response:
                return response.status, response.read()
        except urllib.error.HTTPError as error:
            return error.code, error.read()
        except (ConnectionError, urllib.error.URLError):
            if time.monotonic() > deadline:
                raise
            time.sleep(0.1)


def check_serves_site(binary, site, work):
    """Runs the installed site example in its installed folder, on a free port, and fetches
    its pages: the templates must have been installed with it."""
    port = free_port()
    with open(os.path.join(site, "site.vl"), encoding="utf-8") as f:
        script = f.read().replace("8000", str(port))
    script_path = os.path.join(work, "site_on_free_port.vl")
    with open(script_path, "w", encoding="utf-8") as f:
        f.write(script)
    server = subprocess.Popen([binary, script_path], cwd=site, stdout=subprocess.DEVNULL,
                              stderr=subprocess.PIPE)
    try:
        deadline = time.monotonic() + 30
        for path, template in [("/", "index.html"), ("/about", "about.html")]:
            status, body = fetch(f"http://127.0.0.1:{port}{path}", deadline)
            with open(os.path.join(site, "templates", template), "rb") as f:
                check((status, body) == (200, f.read()), f"{path} answered {status}: {body!r}")
        status, body = fetch(f"http://127.0.0.1:{port}/menu.json", deadline)
        check(status == 200 and b'"espresso"' in body, f"/menu.json answered {status}")
    finally:
        server.kill()
        _, errors = server.communicate(timeout=10)
    check(errors == b"", f"the site wrote {errors!r}")


def check_checker_reports(checker, work):
    script = os.path.join(work, "mistake.vl")
    with open(script, "w") as f:
        f.write("let xs = [1, 2, 3]\nxs[0] = 5\n")
    result = subprocess.run([checker, script], capture_output=True, text=True,
                            timeout=TIMEOUT_SECONDS)
    expected = (f"{script}:2:7: warning: element assignment is not part of the language; "
                "use push or build a new array\n")
    check((result.returncode, result.stdout) == (1, expected),
          f"the checker answered {result.returncode}: {result.stdout!r} {result.stderr!r}")


def installed_tree(build, source, work):
    prefix = os.path.join(work, "prefix")
    run(["cmake", "--install", build, "--prefix", prefix])
    for program in PROGRAMS:
        check(os.access(os.path.join(prefix, "bin", program), os.X_OK),
              f"bin/{program} is not installed")
    pages = {name: os.path.join(prefix, "share", "man", "man1", name + ".1") for name in MAN_PAGES}
    for page in pages.values():
        check(os.path.isfile(page), f"{page} is not installed")
    docs = os.path.join(prefix, "share", "doc", "vormel")
    for doc in DOCS:
        check(os.path.isfile(os.path.join(docs, doc)), f"{doc} is not installed")
    check_links(docs)
    editors = os.path.join(prefix, "share", "vormel", "editors")
    for name in EDITOR_FILES:
        check(os.path.isfile(os.path.join(editors, name)), f"editors/{name} is not installed")
    examples = os.path.join(docs, "examples")
    wanted = files_under(os.path.join(source, "examples"))
    check(files_under(examples) == wanted, f"installed examples {files_under(examples)}")
    binary = os.path.join(prefix, "bin", "vormel")
    check_runs_example(binary, examples, source, work)
    check_serves_site(binary, os.path.join(examples, "site"), work)
    check_checker_reports(os.path.join(prefix, "bin", "vormel-check"), work)
    return pages


def manual_pages(pages):
    env = dict(os.environ, MANWIDTH="80", LC_ALL="C.UTF-8", MAN_DISABLE_SECCOMP="1")
    for name, page in pages.items():
        result = subprocess.run(["man", "--warnings", "-l", page], capture_output=True,
                                text=True, env=env, timeout=TIMEOUT_SECONDS)
        check(result.returncode == 0, f"man {name} failed with {result.returncode}: "
              f"{result.stderr}")
        check(result.stderr == "", f"man {name} warned:\n{result.stderr}")
        lines = result.stdout.splitlines()
        for section in MAN_PAGES[name]:
            check(section in lines, f"the page {name} has no {section} section")
        see_also = result.stdout.split("\nSEE ALSO\n", 1)[-1]
        for other in MAN_PAGES:
            check(other == name or f"{other}(1)" in see_also.replace("\u2010", "-"),
                  f"SEE ALSO of {name} does not name {other}(1)")
        wide = [line for line in lines if len(line) > 80]
        check(not wide, f"{name}: lines wider than 80 columns: {wide}")


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
    for library in re.findall(r"^\s*(lib\S+)\.so", linked, re.M):
        check(library in ("libc", "libm") or library.replace("lib", "", 1) in " ".join(depends),
              f"links {library} but Depends does not name it: {depends}")
    # Loaded at run time: ICU for text beyond ASCII, libedit by the REPL, SDL2 by a window.
    for package in [r"libicu\d+", r"libedit2", r"libsdl2-2\.0-0"]:
        check(any(re.fullmatch(package, d) for d in depends), f"Depends has no {package}")

    files = run(["dpkg-deb", "-c", deb]).stdout
    print(f"files of {debs[0]}:")
    print(files)
    for path in ["./usr/bin/vormel", "./usr/bin/vormel-check", "./usr/bin/vormel-lsp",
                 "./usr/share/man/man1/vormel.1", "./usr/share/man/man1/vormel-check.1",
                 "./usr/share/doc/vormel/docs/tutorial.md",
                 "./usr/share/doc/vormel/examples/site/templates/index.html",
                 "./usr/share/vormel/editors/vim/syntax/vormel.vim"]:
        check(re.search(r"\s" + re.escape(path) + r"$", files, re.M), f"{path} not in the .deb")

    unpacked = os.path.join(work, "unpacked")
    run(["dpkg-deb", "-x", deb, unpacked])
    binary = os.path.join(unpacked, "usr", "bin", "vormel")
    with open(binary, "rb") as binary_file:
        check(b"icudt" not in binary_file.read(), "the packaged binary carries ICU's data")
    check(fields.get("Version") == version_of(binary),
          f"package version {fields.get('Version')!r} is not the program's")
    check_runs_example(binary, os.path.join(unpacked, "usr", "share", "doc", "vormel",
                                            "examples"), source, work)


def main():
    build, source = (os.path.abspath(a) for a in sys.argv[1:3])
    with tempfile.TemporaryDirectory() as work:
        pages = installed_tree(build, source, work)
        manual_pages(pages)
        debian_package(build, source, work)
    return 0


if __name__ == "__main__":
    sys.exit(main())
