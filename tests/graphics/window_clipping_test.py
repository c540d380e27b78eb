"""Lines and rectangles that reach outside the window, on a real window under Xvfb with
SDL's default renderer and with its software renderer. Cut to the window before SDL sees
them, they light exactly the pixels that the same shapes light when they fit: the scene is
drawn once in a small window, where it reaches outside, and once moved into a large window,
where it fits whole, and the two screenshots must agree pixel for pixel. Shapes far outside
(a rectangle 2^30 pixels below, which crashed SDL's software renderer, and a diagonal 2^30
pixels long, which made SDL walk every point of it) draw what shows, at once."""

import random
import sys
import time

import graphics_support as gs

SMALL = (200, 150)
SHIFT = 300  # the large window shows the small one's area at (SHIFT, SHIFT)
LARGE = (SMALL[0] + 2 * SHIFT, SMALL[1] + 2 * SHIFT)
MARKER = (1, 2, 3)
RENDERERS = {"default renderer": {}, "software renderer": {"SDL_RENDER_DRIVER": "software"}}

FAR_OUT = """
sdl2.set_draw_color(255, 255, 255)
sdl2.fill_rect(0, 1073741823, 1, 1073741823)
sdl2.draw_rect(0, 1073741823, 1, 1073741823)
fill(rect(0, 1073741823, 1, 1073741823), color(9, 9, 9))
draw(rect(-1073741824, 1073741823, 2147483647, 1073741823), color(9, 9, 9))
sdl2.set_draw_color(255, 255, 255)
sdl2.draw_line(0, 0, 1073741823, 1073741823)
sdl2.draw_line(199, 0, 199 - 1073741823, 1073741823)
"""


def shapes(rng):
    """(function, numbers, colour) in the small window's frame, reaching up to SHIFT outside."""
    def at():
        return [rng.randrange(-SHIFT, SMALL[0] + SHIFT), rng.randrange(-SHIFT, SMALL[1] + SHIFT)]
    calls = [("fill_rect", [0, 0, 1, 1], MARKER)]
    calls += [("draw_line", at() + at(), (40 + 3 * i, 255 - 3 * i, 100 + i)) for i in range(60)]
    for i in range(12):  # sized so that the large window holds them whole
        (x, y), w, h = at(), rng.randrange(1, SHIFT), rng.randrange(1, SHIFT)
        calls.append((("fill_rect", "draw_rect")[i % 2],
                      [min(x, SMALL[0] + SHIFT - w), min(y, SMALL[1] + SHIFT - h), w, h],
                      (200, 30 + 10 * i, 60)))
    return calls


def scene(title, size, calls, shift, extra=""):
    lines = [f"use sdl2\nsdl2.set_max_fps(30)\nsdl2.create_window(\"{title}\", {size[0]}, "
             f"{size[1]})\nlet frames = 0\nwhile sdl2.is_window_open() and frames < 900 {{\n"
             "sdl2.clear_screen()"]
    for function, numbers, colour in calls:
        moved = len(numbers) if function == "draw_line" else 2  # rectangle sizes stay
        numbers = [n + shift for n in numbers[:moved]] + numbers[moved:]
        lines.append(f"sdl2.set_draw_color{colour}")
        lines.append(f"sdl2.{function}({', '.join(map(str, numbers))})")
    lines.append(extra)
    lines.append("sdl2.render_present()\nframes = frames + 1\n}\nprint(\"done\")")
    return "\n".join(lines)


def shot(x, interpreter, workdir, title, source, settings, marker_at):
    process = x.start_script(interpreter, source, workdir, f"{title}.vl", settings)
    window = x.find_window(title, process)
    deadline = time.monotonic() + 20
    image = x.screenshot(window)
    while image.at(*marker_at) != MARKER and time.monotonic() < deadline:
        time.sleep(0.1)
        image = x.screenshot(window)
    x.request_close(window)
    status, out, err = gs.finish(process)
    if status != 0 or out != "done\n" or image.at(*marker_at) != MARKER:
        gs.fail(f"{title}: status {status}, output {out!r}, errors {err!r}")
    return image


def main():
    interpreter = sys.argv[1]
    calls = shapes(random.Random(7))
    problems = []
    with gs.temporary_folder() as workdir, gs.Xvfb(*LARGE) as x:
        for name, settings in RENDERERS.items():
            cut = shot(x, interpreter, workdir, "cut", scene("cut", SMALL, calls, 0), settings,
                       (0, 0))
            whole = shot(x, interpreter, workdir, "whole", scene("whole", LARGE, calls, SHIFT),
                         settings, (SHIFT, SHIFT))
            started = time.monotonic()
            far = shot(x, interpreter, workdir, "far",
                       scene("far", SMALL, [("fill_rect", [100, 5, 1, 1], MARKER)], 0, FAR_OUT),
                       settings, (100, 5))
            seconds = time.monotonic() - started
            differ = [(px, py) for py in range(SMALL[1]) for px in range(SMALL[0])
                      if cut.at(px, py) != whole.at(px + SHIFT, py + SHIFT)]
            if differ:
                problems.append(f"{name}: {len(differ)} pixels differ from the whole shapes, "
                                f"first {differ[:5]}")
            diagonals = [(k, k) for k in range(SMALL[1])] + [(199 - k, k) for k in range(SMALL[1])]
            unlit = [p for p in diagonals if far.at(*p) != (255, 255, 255)]
            if unlit or seconds > 15:
                problems.append(f"{name}: the long diagonals took {seconds:.1f} s, unlit {unlit[:5]}")
    if problems:
        gs.fail("\n".join(problems))
    print("ok")


main()
