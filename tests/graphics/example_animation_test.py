"""Runs the example animation (examples/bouncing_shapes.vl) on Xvfb: its window is titled
"Vormel" (the window built-in), the picture moves from one screenshot to the next, and a
close request ends it with status 0 and nothing on standard error."""

import os
import sys
import time

import graphics_support as gs

ANIMATION = os.path.join(gs.HERE, "..", "..", "examples", "bouncing_shapes.vl")


def main():
    interpreter = sys.argv[1]
    with open(ANIMATION) as f:
        source = f.read()
    with gs.temporary_folder() as workdir, gs.Xvfb() as x:
        process = x.start_script(interpreter, source, workdir, "bouncing_shapes.vl")
        window = x.find_window("Vormel", process)
        time.sleep(0.5)
        first = x.screenshot(window)
        time.sleep(0.3)
        second = x.screenshot(window)
        if (first.width, first.height) != (400, 300):
            gs.fail(f"window is {first.width}x{first.height}")
        changed = sum(1 for a, b in zip(first.pixels, second.pixels) if a != b)
        coloured = sum(1 for p in second.pixels if p != (0, 0, 0))
        if changed < 200 or coloured < 2000:
            gs.fail(f"{changed} pixels changed, {coloured} coloured: the picture does not move")
        x.request_close(window)
        status, out, err = gs.finish(process)
    if status != 0 or out or err:
        gs.fail(f"after the close request: status {status}, output {out!r}, errors {err!r}")
    print(f"ok ({changed} pixels changed in 0.3 s)")


main()
