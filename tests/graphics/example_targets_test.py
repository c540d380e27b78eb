"""Plays the image-and-mouse example (examples/click_target.vl) on Xvfb with a real pointer:
a click on the target (found by its red rings in a screenshot) moves it and beeps through
SDL's disk audio driver, a click beside it is a miss, escape ends the game with the count."""

import os
import shutil
import sys
import time

import graphics_support as gs

EXAMPLES = os.path.join(gs.HERE, "..", "..", "examples")
RED = (230, 40, 40)


def target_centre(image):
    """The centre of the red pixels' box."""
    points = [(x, y) for y in range(0, image.height, 2) for x in range(0, image.width, 2)
              if image.at(x, y) == RED]
    if not points:
        gs.fail("no target on the screen")
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    return (min(xs) + max(xs)) // 2, (min(ys) + max(ys)) // 2


def click(x, window, at):
    x.tool("xdotool", "mousemove", "--window", str(window), str(at[0]), str(at[1]))
    time.sleep(0.3)
    x.tool("xdotool", "click", "1")
    time.sleep(0.5)


def main():
    interpreter = sys.argv[1]
    with open(os.path.join(EXAMPLES, "click_target.vl")) as f:
        source = f.read()
    with gs.temporary_folder() as workdir, gs.Xvfb() as x:
        shutil.copytree(os.path.join(EXAMPLES, "assets"), os.path.join(workdir, "assets"))
        audio = os.path.join(workdir, "out.raw")
        process = x.start_script(interpreter, source, workdir, "click_target.vl",
                                 {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": audio})
        window = x.find_window("Targets", process)
        x.focus(window)
        time.sleep(0.5)
        first = target_centre(x.screenshot_when(window, lambda image: any(
            image.at(px, 180) == RED for px in range(image.width))))
        click(x, window, first)
        second = target_centre(x.screenshot(window))
        if second == first:
            gs.fail(f"the target stayed at {first} after a hit")
        # A miss: the screen corner farthest from the target.
        click(x, window, (470 if second[0] < 240 else 10, 350 if second[1] < 180 else 45))
        x.keys("keydown", "Escape", "keyup", "Escape")
        status, out, err = gs.finish(process)
        with open(audio, "rb") as f:
            beeped = any(f.read())
    # SDL's disk driver announces itself on standard error; nothing else may be there.
    err = "".join(line for line in err.splitlines(True) if not line.startswith("CRITICAL: "))
    if status != 0 or out != "hits: 1, misses: 1\n" or err:
        gs.fail(f"status {status}, output {out!r}, errors {err!r}")
    if not beeped:
        gs.fail("the hit made no sound")
    print(f"ok (target {first} -> {second})")


main()
