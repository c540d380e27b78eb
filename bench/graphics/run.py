#!/usr/bin/env python3
"""Frames per second of the many-shapes frame in Vormel and in pygame, each drawn uncapped in
a window on a private Xvfb server. Not a test: nothing is asserted.

Usage: bench/graphics/run.py [VORMEL] [-n RUNS]"""

import argparse
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "graphics"))
import graphics_support as gs  # noqa: E402

# pygame comes from Debian (python3-pygame), so it runs under the system Python.
PYGAME_PYTHON = "/usr/bin/python3"


def best_fps(command, display, runs, **extra_env):
    results = []
    env = dict(gs.interpreter_environment(display), **extra_env)
    for _ in range(runs):
        done = subprocess.run(command, cwd=HERE, env=env, capture_output=True, timeout=300)
        if done.returncode != 0:
            return f"failed: {done.stderr.decode(errors='replace')[-300:]}"
        results.append(int(done.stdout.split()[-1]))
    return max(results)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("vormel", nargs="?", default=os.path.join(HERE, "..", "..", "build",
                                                                  "vormel"))
    parser.add_argument("-n", type=int, default=3)
    args = parser.parse_args()
    with gs.Xvfb() as x:
        script = [os.path.abspath(args.vormel), "many_shapes.vl"]
        # SDL's own choice of renderer (OpenGL, on Mesa's llvmpipe under Xvfb), and its
        # software renderer as SDL's own SDL_RENDER_DRIVER hint selects it.
        vormel = best_fps(script, x.display, args.n)
        vormel_software = best_fps(script, x.display, args.n, SDL_RENDER_DRIVER="software")
        pygame = best_fps([PYGAME_PYTHON, "many_shapes_pygame.py"], x.display, args.n)
    print("| frame (640x480, uncapped, Xvfb) | Vormel, SDL's default renderer | "
          "Vormel, SDL_RENDER_DRIVER=software | pygame |")
    print("| --- | --- | --- | --- |")
    print(f"| 2,000 filled circles r=10 + 2,000 filled rects + 10,000 points | "
          f"{vormel} fps | {vormel_software} fps | {pygame} fps |")


main()
