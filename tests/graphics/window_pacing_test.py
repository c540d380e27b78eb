"""Frame pacing as a script measures it: with a limit of 60 and a light loop, the median
delta time of a real window's frames lies near 1/60 s; without a window the present step is
a frame timer; without a limit frames are not held back."""

import statistics
import sys

import graphics_support as gs

WINDOW_LOOP = """
use sdl2
sdl2.set_max_fps(60)
sdl2.create_window("pacing", 100, 100)
print(sdl2.delta_time())
let i = 0
while i < 90 {
  sdl2.clear_screen()
  sdl2.fill_rect(10, 10, 20, 20)
  sdl2.render_present()
  print(sdl2.delta_time())
  i = i + 1
}
"""

TIMER_LOOP = """
use sdl2
sdl2.set_max_fps(25)
let i = 0
while i < 20 {
  sdl2.render_present()
  print(sdl2.delta_time())
  i = i + 1
}
print(sdl2.is_window_open())
print(sdl2.get_window_width())
"""

UNLIMITED_LOOP = """
use sdl2
sdl2.create_window("unlimited", 100, 100)
let i = 0
while i < 60 {
  sdl2.render_present()
  print(sdl2.delta_time())
  i = i + 1
}
"""


def deltas(output):
    return [float(line) for line in output.splitlines() if line.replace(".", "").isdigit()]


def run(x, interpreter, source, workdir):
    process = x.start_script(interpreter, source, workdir)
    status, out, err = gs.finish(process, timeout=60)
    if status != 0:
        gs.fail(f"status {status}: {err}")
    return out


def main():
    interpreter = sys.argv[1]
    problems = []
    median_at_60 = None
    with gs.temporary_folder() as workdir, gs.Xvfb() as x:
        out = run(x, interpreter, WINDOW_LOOP, workdir)
        values = deltas(out)
        if len(values) != 91 or values[0] != 0.0:
            problems.append(f"window loop printed {out!r}")
        median = median_at_60 = statistics.median(values[1:])
        # A generous band around 1/60 s: never exact, but clearly paced and not doubled.
        if not 0.0150 <= median <= 0.0250:
            problems.append(f"median delta time {median:.4f} s with a limit of 60")
        if min(values[2:]) < 0.0160:
            problems.append(f"a frame of {min(values[2:]):.4f} s was shorter than 1/60 s")

        out = run(x, interpreter, TIMER_LOOP, workdir)
        values = deltas(out)
        median = statistics.median(values[1:])
        if not 0.038 <= median <= 0.060:
            problems.append(f"frame timer without a window: median {median:.4f} s at 25 fps")
        if not out.endswith("false\nnull\n"):
            problems.append(f"frame timer opened something: {out!r}")

        out = run(x, interpreter, UNLIMITED_LOOP, workdir)
        median = statistics.median(deltas(out)[1:])
        if median >= 0.0150:
            problems.append(f"without a limit the median frame took {median:.4f} s")
    if problems:
        gs.fail("\n".join(problems))
    print(f"ok (median delta time at 60 fps: {median_at_60:.4f} s)")


main()
