"""The frame drawn in memory and shown once per present (the fast path) against SDL's own
drawing, one renderer call per point, line or rectangle (VORMEL_GRAPHICS_DIRECT=1): the
same scene drawn both ways, with SDL's default renderer and with its software renderer, must
give the same screenshot from the X server, pixel for pixel. A line of text in the middle
of the scene keeps its place in the order of drawing."""

import sys

import graphics_support as gs

WIDTH, HEIGHT = 320, 240
MARKER = (1, 2, 3)  # drawn last at (0, 0): once it shows, the whole frame does

SCENE = """
use sdl2
use game
sdl2.create_window("frame", 320, 240)

def scene() {
  sdl2.set_draw_color(20, 30, 40)
  sdl2.clear_screen()
  # Filled and outlined circles of every small radius, some cut by the window's edges.
  for r in 0..14 {
    sdl2.set_draw_color(200, 10 * r, 40)
    sdl2.fill_circle(12 + 22 * r, 14, r)
    sdl2.set_draw_color(10 * r, 220, 90)
    sdl2.draw_circle(12 + 22 * r, 44, r)
  }
  sdl2.set_draw_color(250, 250, 0)
  sdl2.fill_circle(-3, 120, 9)
  sdl2.fill_circle(318, 238, 12)
  sdl2.draw_circle(160, -4, 11)
  sdl2.draw_circle(330, 120, 15)
  # A circle far larger than the window, its right edge inside: SDL adds up its spans'
  # widths (over 2^24 pixels) in single precision.
  sdl2.set_draw_color(60, 60, 160)
  sdl2.fill_circle(-20000000 + 100, 200, 20000000)
  # Rectangles: filled and outlined, one pixel wide or high, cut by the edges, huge.
  sdl2.set_draw_color(0, 200, 200)
  sdl2.fill_rect(20, 70, 30, 20)
  sdl2.fill_rect(-5, 95, 12, 8)
  sdl2.fill_rect(310, 100, 30, 5)
  sdl2.fill_rect(60, 70, 0, 0)
  sdl2.draw_rect(70, 70, 25, 18)
  sdl2.draw_rect(100, 70, 1, 15)
  sdl2.draw_rect(105, 70, 15, 1)
  sdl2.draw_rect(125, 70, 1, 1)
  sdl2.draw_rect(130, 70, 2, 2)
  sdl2.draw_rect(-10, 110, 40, 20)
  sdl2.draw_rect(-2000000000, -2000000000, 4000000000, 2000000130)
  # Lines in every direction, steep and shallow, and lines reaching outside.
  sdl2.set_draw_color(255, 128, 0)
  for i in 0..12 {
    let a = i * 6
    sdl2.draw_line(200, 120, 200 + 40 - a, 120 + a - 36)
    sdl2.draw_line(260, 120, 260 - 30 + a, 120 - 40 + 3 * i)
  }
  sdl2.draw_line(150, 100, 150, 100)
  sdl2.draw_line(140, 90, 140, 130)
  sdl2.draw_line(-50, 150, 400, 170)
  sdl2.draw_line(3000000000, 180, -3000000000, 181)
  sdl2.draw_line(-5000, -5000, 5000, 5000)
  # Points inside, on the edges and outside.
  sdl2.set_draw_color(255, 255, 255)
  sdl2.draw_point(0, 239)
  sdl2.draw_point(319, 0)
  sdl2.draw_point(-1, 5)
  sdl2.draw_point(320, 5)
  sdl2.draw_point(160.7, 130.2)
  # Triangles, outlined and filled, in Shape values and Color values.
  draw(triangle(20, 140, 70, 150, 30, 190), color(255, 0, 255))
  fill(triangle(80, 140, 120, 145, 90, 200), color(128, 64, 32))
  fill(triangle(-30, 200, 50, 230, 10, 260), color(0, 255, 0))
  draw(rect(130, 190, 20, 10), color(255, 0, 0))
  fill(circle(170, 200, 15), color(0, 0, 255))
  # A crowd of small shapes in three colours, as in a game's frame.
  let state = 7
  sdl2.set_draw_color(240, 90, 90)
  for i in 0..150 {
    state = (state * 1103515245 + 12345) % 2147483648
    sdl2.fill_circle(state % 330 - 5, (state / 330) % 250 - 5, 2 + state % 9)
  }
  sdl2.set_draw_color(90, 200, 240)
  for i in 0..150 {
    state = (state * 1103515245 + 12345) % 2147483648
    sdl2.fill_rect(state % 330 - 5, (state / 330) % 250 - 5, 1 + state % 7, 1 + state % 5)
  }
  # Text goes to the renderer over the frame so far; the points after it cover it.
  game.text(40, 100, "Vormel Ωμέγα", 28)
  sdl2.set_draw_color(255, 255, 255)
  for i in 0..600 {
    state = (state * 1103515245 + 12345) % 2147483648
    sdl2.draw_point(state % 320, (state / 320) % 240)
  }
  sdl2.set_draw_color(1, 2, 3)
  sdl2.draw_point(0, 0)
}

sdl2.set_max_fps(20)
let frames = 0
while sdl2.is_window_open() and frames < 600 {
  scene()
  sdl2.render_present()
  frames = frames + 1
}
"""


def screenshot(interpreter, workdir, x, settings):
    """The scene's window as the X server shows it, once its whole frame is there."""
    process = x.start_script(interpreter, SCENE, workdir, settings=settings)
    window = x.find_window("frame", process)
    # The first frame drawn call by call comes late under the sanitizers on a busy machine.
    image = x.screenshot_when(window, lambda shot: shot.at(0, 0) == MARKER, timeout=90)
    if image.at(0, 0) != MARKER:
        gs.fail(f"the scene never showed ({settings})")
    if (image.width, image.height) != (WIDTH, HEIGHT):
        gs.fail(f"window is {image.width}x{image.height}")
    x.request_close(window)
    status, _, err = gs.finish(process)
    if status != 0:
        gs.fail(f"the scene ended with status {status}: {err}")
    return image


def differences(direct, frame):
    wrong = [(px, py) for py in range(HEIGHT) for px in range(WIDTH)
             if direct.at(px, py) != frame.at(px, py)]
    return [f"pixel {px},{py}: direct {direct.at(px, py)}, frame {frame.at(px, py)}"
            for px, py in wrong[:30]] + ([f"... {len(wrong)} in all"] if len(wrong) > 30 else [])


def main():
    interpreter = sys.argv[1]
    problems = []
    with gs.temporary_folder() as workdir, gs.Xvfb(WIDTH, HEIGHT) as x:
        for renderer in ({}, {"SDL_RENDER_DRIVER": "software"}):
            direct = screenshot(interpreter, workdir, x, dict(renderer, VORMEL_GRAPHICS_DIRECT="1"))
            frame = screenshot(interpreter, workdir, x, renderer)
            colours = set(direct.pixels)
            if len(colours) < 20:
                problems.append(f"{renderer or 'default'}: the scene shows only {len(colours)} "
                                "colours")
            wrong = differences(direct, frame)
            if wrong:
                problems.append(f"{renderer or 'default renderer'}:\n  " + "\n  ".join(wrong))
    if problems:
        gs.fail("the frame differs from SDL's drawing:\n" + "\n".join(problems))
    print("ok")


main()
