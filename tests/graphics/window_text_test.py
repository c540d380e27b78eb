"""Text drawn by the game module in a real window on Xvfb, read back from the X server:
three lines (Latin, Greek, Cyrillic) in the current draw colour, each inked inside the box
that text_width and text_height give and as wide as text_width says, give or take the
glyphs' side bearings; nothing is inked outside the boxes. Three hundred other lines drawn
every frame push the first ones out of the bounded cache and back in, without harm."""

import sys

import graphics_support as gs

SCENE = """
use sdl2
use game
sdl2.set_max_fps(30)
sdl2.create_window("text", 400, 200)
let lines = ["Score: 42", "Ωμέγα λέξη", "Привет, мир"]
for line in lines {
  print(concat(game.text_width(line, 24), " ", game.text_height(24)))
}
print([game.text_width(""), game.text_height() < game.text_height(40)])
print(game.text_width(12345) == game.text_width("12345"))
let frames = 0
while sdl2.is_window_open() and frames < 900 {
  sdl2.clear_screen()
  sdl2.set_draw_color(255, 200, 0)
  let i = 0
  for line in lines {
    game.text(20, 20 + 60 * i, line, 24)
    i = i + 1
  }
  game.text(30, 30, "")
  let n = 0
  while n < 300 {
    game.text(0, 500, concat("hidden ", n, " ", frames))
    n = n + 1
  }
  sdl2.render_present()
  frames = frames + 1
}
print("loop ended")
"""


def ink_box(image, left, top, right, bottom):
    """The box of the pixels that are not black within [left, right) x [top, bottom)."""
    xs, ys = [], []
    for y in range(top, bottom):
        for x in range(left, right):
            if image.at(x, y) != (0, 0, 0):
                xs.append(x)
                ys.append(y)
    if not xs:
        return None
    return min(xs), min(ys), max(xs) + 1, max(ys) + 1


def main():
    interpreter = sys.argv[1]
    with gs.temporary_folder() as workdir, gs.Xvfb() as x:
        process = x.start_script(interpreter, SCENE, workdir)
        window = x.find_window("text", process)
        image = x.screenshot_when(window, lambda shot: all(
            any(shot.at(px, py) == (255, 200, 0) for py in range(20 + 60 * i, 50 + 60 * i)
                for px in range(20, 120)) for i in range(3)))
        x.request_close(window)
        status, out, err = gs.finish(process)
    lines = out.splitlines()
    if status != 0 or len(lines) != 6 or lines[-1] != "loop ended":
        gs.fail(f"status {status}, output {out!r}, errors {err!r}")
    if lines[3] != "[0, true]" or lines[4] != "true":
        gs.fail(f"measures: {lines[3:5]}")
    problems = []
    boxes = []
    for i, line in enumerate(lines[:3]):
        width, height = map(int, line.split())
        left, top = 20, 20 + 60 * i
        if not 60 <= width <= 300 or not 20 <= height <= 40:
            problems.append(f"line {i}: implausible size {width} x {height}")
            continue
        boxes.append((left, top, left + width, top + height))
        ink = ink_box(image, left - 10, top - 10, left + width + 10, top + height + 10)
        if ink is None:
            problems.append(f"line {i}: nothing drawn")
            continue
        if not (left <= ink[0] and top <= ink[1] and ink[2] <= left + width and
                ink[3] <= top + height):
            problems.append(f"line {i}: ink {ink} outside the box {boxes[-1]}")
        # The ink is narrower than the advance by the first and last glyphs' bearings.
        if not 0 <= width - (ink[2] - ink[0]) <= 4:
            problems.append(f"line {i}: ink width {ink[2] - ink[0]}, text_width {width}")
        colours = {image.at(px, py) for py in range(ink[1], ink[3]) for px in range(ink[0], ink[2])}
        if (255, 200, 0) not in colours:
            problems.append(f"line {i}: no pixel in the draw colour")
    for py in range(image.height):
        for px in range(image.width):
            inside = any(l <= px < r and t <= py < b for l, t, r, b in boxes)
            if not inside and image.at(px, py) != (0, 0, 0):
                problems.append(f"ink outside the text boxes at {px}, {py}")
                break
        if problems and problems[-1].startswith("ink outside"):
            break
    if problems:
        gs.fail("\n".join(problems) + f"\n--- output:\n{out}")
    print("ok")


main()
