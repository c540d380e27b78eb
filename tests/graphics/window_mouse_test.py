"""Real pointer events, sent with xdotool (XTEST) on Xvfb, read back by a script through the
game module with the keys' per-frame rules: the position in window coordinates after a move;
a click is pressed (and released) for one frame; a button held across frames is held in each
until its release; each of the three buttons by its name; wheel steps count for the frame
they arrive in, up positive and down negative, and read 0 afterwards."""

import re
import sys
import time

import graphics_support as gs

SCRIPT = """
use sdl2
use game
sdl2.set_max_fps(10)
sdl2.create_window("mouse", 200, 150)
let buttons = ["left", "middle", "right"]
let frame = 0
let last = ""
while sdl2.is_window_open() and frame < 600 {
  sdl2.clear_screen()
  sdl2.render_present()
  frame = frame + 1
  let line = concat(" @", game.mouse_x(), ",", game.mouse_y())
  for b in buttons {
    if game.mouse_pressed(b) { line = concat(line, " +", b) }
    if game.mouse_held(b) { line = concat(line, " =", b) }
    if game.mouse_released(b) { line = concat(line, " -", b) }
  }
  if game.wheel() != 0 { line = concat(line, " w", game.wheel()) }
  if line != last { print(concat(frame, ":", line)) }
  last = line
}
print("done")
"""


def parse(output):
    frames = []
    for line in output.splitlines():
        m = re.fullmatch(r"(\d+):(( \S+)+)", line)
        if m:
            frames.append((int(m.group(1)), m.group(2).split()))
    return frames


def main():
    interpreter = sys.argv[1]
    with gs.temporary_folder() as workdir, gs.Xvfb() as x:
        process = x.start_script(interpreter, SCRIPT, workdir)
        window = x.find_window("mouse", process)
        time.sleep(0.5)
        pause = 0.6  # several frames at 10 per second
        x.tool("xdotool", "mousemove", "--window", str(window), "50", "40")
        time.sleep(pause)
        x.tool("xdotool", "click", "1")
        time.sleep(pause)
        x.tool("xdotool", "mousemove", "--window", str(window), "120", "90")
        time.sleep(pause)
        x.tool("xdotool", "mousedown", "3")
        time.sleep(pause)
        x.tool("xdotool", "mouseup", "3")
        time.sleep(pause)
        x.tool("xdotool", "click", "2")
        time.sleep(pause)
        x.tool("xdotool", "click", "4")
        time.sleep(pause)
        x.tool("xdotool", "click", "--repeat", "2", "--delay", "1", "5")
        time.sleep(pause)
        x.request_close(window)
        status, out, err = gs.finish(process)
    if status != 0 or not out.endswith("done\n"):
        gs.fail(f"status {status}, output {out!r}, errors {err!r}")
    frames = parse(out)
    problems = []
    positions = [t[0] for _, t in frames]
    for wanted in ("@50,40", "@120,90"):
        if wanted not in positions:
            problems.append(f"the position {wanted} was never seen")
    # Each button's edges and held frames, in order of the frames printed (a line is printed
    # only when something changed, so an unprinted frame repeats the one before).
    for button, expect_held in (("left", False), ("middle", False), ("right", True)):
        pressed = [n for n, t in frames if f"+{button}" in t]
        released = [n for n, t in frames if f"-{button}" in t]
        held = [n for n, t in frames if f"={button}" in t]
        if len(pressed) != 1 or len(released) != 1:
            problems.append(f"{button}: pressed in {pressed}, released in {released}")
            continue
        if expect_held:
            if not held or released[0] <= pressed[0]:
                problems.append(f"{button}: held in {held}, pressed {pressed}, released {released}")
            # The frame after the press repeats "=right" only, not "+right".
            after = [t for n, t in frames if n > pressed[0]]
            if after and f"+{button}" in after[0]:
                problems.append(f"{button}: pressed for more than one frame")
        elif any(f"={button}" in t and f"-{button}" in t for _, t in frames):
            problems.append(f"{button}: held in the frame of its release")
    if any("=right" in t for n, t in frames if n < min([m for m, u in frames if "+right" in u] or [0])):
        problems.append("right held before its press")
    wheel = [t[-1] for _, t in frames if t[-1].startswith("w")]
    if wheel != ["w1", "w-2"] and wheel != ["w1", "w-1", "w-1"]:
        problems.append(f"wheel steps {wheel}")
    # After each wheel frame the next printed line has no wheel any more.
    for i, (n, t) in enumerate(frames[:-1]):
        if t[-1].startswith("w") and frames[i + 1][1][-1].startswith("w") and \
                frames[i + 1][0] != n + 1:
            problems.append(f"wheel still counted after frame {n}")
    if problems:
        gs.fail("\n".join(problems) + "\n--- output:\n" + out)
    print("ok")


main()
