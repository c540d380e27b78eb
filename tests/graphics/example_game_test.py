"""Plays the example game (examples/paddle.vl) on Xvfb with real keys: the paddle follows
right and left, space launches the ball, escape ends the game with status 0. Each step is
checked on screenshots read from the X server; the score is shown as text. Sounds go to
SDL's silent dummy audio driver."""

import os
import shutil
import sys
import time

import graphics_support as gs

EXAMPLES = os.path.join(gs.HERE, "..", "..", "examples")
GAME = os.path.join(EXAMPLES, "paddle.vl")
SCORE = (120, 220, 140)
PADDLE = (200, 200, 255)
BALL = (255, 255, 255)
PADDLE_ROW = 335


def paddle_span(image):
    columns = [x for x in range(image.width) if image.at(x, PADDLE_ROW) == PADDLE]
    if not columns:
        gs.fail("no paddle on the screen")
    return min(columns), max(columns)


def ball_top(image):
    rows = [y for y in range(image.height) for x in range(0, image.width, 1)
            if image.at(x, y) == BALL]
    if not rows:
        gs.fail("no ball on the screen")
    return min(rows)


def hold(x, key, seconds):
    x.keys("keydown", key)
    time.sleep(seconds)
    x.keys("keyup", key)
    time.sleep(0.2)


def main():
    interpreter = sys.argv[1]
    with open(GAME) as f:
        source = f.read()
    with gs.temporary_folder() as workdir, gs.Xvfb() as x:
        shutil.copytree(os.path.join(EXAMPLES, "assets"), os.path.join(workdir, "assets"))
        process = x.start_script(interpreter, source, workdir, "paddle.vl",
                                 {"SDL_AUDIODRIVER": "dummy"})
        window = x.find_window("Paddle", process)
        x.focus(window)
        time.sleep(0.5)
        first = x.screenshot_when(window, lambda image: any(
            image.at(px, PADDLE_ROW) == PADDLE for px in range(image.width)))
        if not any(first.at(px, py) == SCORE for py in range(4, 30) for px in range(360, 480)):
            gs.fail("no score at the top right")
        start = paddle_span(first)
        if start != (200, 279):
            gs.fail(f"the paddle starts at {start}")
        hold(x, "Right", 0.3)
        moved_right = paddle_span(x.screenshot(window))
        if not moved_right[0] > start[0] + 30:
            gs.fail(f"right arrow: paddle went from {start} to {moved_right}")
        hold(x, "a", 0.5)
        moved_left = paddle_span(x.screenshot(window))
        if not moved_left[0] < moved_right[0] - 60:
            gs.fail(f"key a: paddle went from {moved_right} to {moved_left}")
        waiting = ball_top(x.screenshot(window))
        x.keys("keydown", "space", "keyup", "space")
        time.sleep(0.3)
        flying = ball_top(x.screenshot(window))
        if not flying < waiting - 30:
            gs.fail(f"space: the ball went from row {waiting} to row {flying}")
        x.keys("keydown", "Escape", "keyup", "Escape")
        status, out, err = gs.finish(process)
    if status != 0 or not out.startswith("score: ") or err:
        gs.fail(f"escape: status {status}, output {out!r}, errors {err!r}")
    print(f"ok (paddle {start} -> {moved_right} -> {moved_left}, ball {waiting} -> {flying})")


main()
