#!/usr/bin/env python3
"""Nesting deeper than any stack can hold must fail cleanly on whatever stack the interpreter
gets: a smaller thread stack when the address space is limited, or the main thread itself
when no thread can be made, with its stack limit unlimited or not.

Usage: stack_fallback_test.py VORMEL NO_THREADS_LIBRARY [--no-address-limit]
"""
import os
import resource
import subprocess
import sys
import tempfile

DEPTH = 1_000_000
SCRIPTS = {
    "parentheses": "print(" + "(" * DEPTH + "7" + ")" * DEPTH + ")\nprint(\"after\")\n",
    "ifs": "if true { " * DEPTH + "print(1)" + " }" * DEPTH + "\nprint(\"after\")\n",
    "recursion": "def f(n) { return f(n + 1) }\nf(0)\nprint(\"after\")\n",
}


def run(binary, script, address_space=None, stack=None, preload=None):
    def limits():
        if address_space is not None:
            resource.setrlimit(resource.RLIMIT_AS, (address_space, address_space))
        if stack is not None:
            resource.setrlimit(resource.RLIMIT_STACK, (stack, stack))

    env = dict(os.environ)
    if preload:
        env["LD_PRELOAD"] = preload
        # The sanitizer runtime must otherwise come first among preloaded libraries.
        env["ASAN_OPTIONS"] = env.get("ASAN_OPTIONS", "") + ":verify_asan_link_order=0"
    return subprocess.run([binary, script], capture_output=True, timeout=300,
                          preexec_fn=limits, env=env)


def main():
    binary, no_threads = sys.argv[1], sys.argv[2]
    address_limit = "--no-address-limit" not in sys.argv
    unlimited = resource.RLIM_INFINITY
    settings = [("no thread, unlimited stack", dict(stack=unlimited, preload=no_threads)),
                ("no thread, 8 MiB stack", dict(stack=8 << 20, preload=no_threads))]
    if address_limit:
        settings.append(("800 MB of address space, unlimited stack",
                         dict(address_space=800_000 * 1024, stack=unlimited)))
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        for name, text in SCRIPTS.items():
            path = os.path.join(folder, name + ".vl")
            with open(path, "w") as f:
                f.write(text)
            for label, options in settings:
                result = run(binary, path, **options)
                ok = result.returncode == 0 and result.stdout.endswith(b"after\n")
                print(f"{'ok  ' if ok else 'FAIL'} {name}, {label}: status {result.returncode}")
                if not ok:
                    failures += 1
                    print(result.stderr[-2000:].decode("utf-8", "replace"))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
