"""A known scene drawn in a real window on Xvfb, read back pixel by pixel from the X server;
then a close request (WM_DELETE_WINDOW) ends the script's loop and the script runs to its
end with status 0."""

import sys
import time

import graphics_support as gs

SCENE = """
use sdl2
sdl2.set_max_fps(30)
sdl2.create_window("pixels", 200, 160)
let frames = 0
while sdl2.is_window_open() and frames < 900 {
  sdl2.clear_screen()
  sdl2.set_draw_color(255, 0, 0)
  sdl2.fill_rect(10, 10, 30, 20)
  sdl2.set_draw_color(0, 255, 0)
  sdl2.draw_rect(50, 10, 20, 15)
  sdl2.set_draw_color(0, 0, 255)
  sdl2.draw_circle(100, 30, 5)
  sdl2.set_draw_color(255, 255, 0)
  sdl2.fill_circle(150, 30, 8)
  draw(triangle(20, 60, 60, 60, 40, 90), color(0, 255, 255))
  fill(triangle(80, 60, 120, 60, 80, 100), color(255, 0, 255))
  fill(rect(140, 60, 10, 10), color(128, 64, 32))
  sdl2.set_draw_color(255, 255, 255)
  sdl2.draw_point(170.9, 100.2)
  sdl2.draw_line(3000000000, 150, -3000000000, 150)
  sdl2.fill_rect(-2000000000, -2000000000, 10, 10)
  sdl2.fill_circle(1000000, 1000000, 20)
  sdl2.draw_line(-5000, -5000, -4000, -100)
  sdl2.render_present()
  frames = frames + 1
}
print("loop ended")
print(sdl2.is_window_open())
"""

BLACK, RED, GREEN, BLUE = (0, 0, 0), (255, 0, 0), (0, 255, 0), (0, 0, 255)
YELLOW, CYAN, MAGENTA, WHITE = (255, 255, 0), (0, 255, 255), (255, 0, 255), (255, 255, 255)
BROWN = (128, 64, 32)


def circle_points(cx, cy, r):
    points, x, y, err = [], r, 0, 0
    while x >= y:
        points += [(cx + x, cy + y), (cx - x, cy + y), (cx + x, cy - y), (cx - x, cy - y),
                   (cx + y, cy + x), (cx - y, cy + x), (cx + y, cy - x), (cx - y, cy - x)]
        y += 1
        err += 2 * y + 1
        if 2 * (err - x) + 1 > 0:
            x -= 1
            err += 1 - 2 * x
    return set(points)


def segment_points(xa, ya, xb, yb):
    points = []
    dx, dy = abs(xb - xa), abs(yb - ya)
    sx, sy = (1 if xa < xb else -1), (1 if ya < yb else -1)
    err = dx - dy
    while True:
        points.append((xa, ya))
        if (xa, ya) == (xb, yb):
            return points
        e2 = 2 * err
        if e2 > -dy:
            err -= dy
            xa += sx
        if e2 < dx:
            err += dx
            ya += sy


def check_region(image, x0, y0, x1, y1, colour, expected, problems, label):
    """Inside the box, exactly the pixels of `expected` have `colour`."""
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            is_colour = image.at(x, y) == colour
            if is_colour != ((x, y) in expected):
                problems.append(f"{label}: pixel {x},{y} is {image.at(x, y)}")


def main():
    interpreter = sys.argv[1]
    with gs.temporary_folder() as workdir, gs.Xvfb() as x:
        process = x.start_script(interpreter, SCENE, workdir)
        window = x.find_window("pixels", process)
        image = x.screenshot(window)
        tries = 0
        while image.at(25, 20) != RED and tries < 50:  # the first frame may not be shown yet
            time.sleep(0.1)
            image = x.screenshot(window)
            tries += 1
        if (image.width, image.height) != (200, 160):
            gs.fail(f"window is {image.width}x{image.height}")
        problems = []

        def expect(px, py, colour, label):
            if image.at(px, py) != colour:
                problems.append(f"{label}: pixel {px},{py} is {image.at(px, py)}, not {colour}")

        # The clear colour.
        for p in [(0, 0), (199, 0), (0, 159), (45, 40), (120, 130)]:
            expect(*p, BLACK, "cleared background")
        # Filled rectangle: exactly [10, 40) x [10, 30).
        check_region(image, 5, 5, 45, 35, RED,
                     {(px, py) for px in range(10, 40) for py in range(10, 30)}, problems,
                     "fill_rect")
        # Rectangle outline: the border of [50, 70) x [10, 25), nothing inside.
        border = {(px, py) for px in range(50, 70) for py in range(10, 25)
                  if px in (50, 69) or py in (10, 24)}
        check_region(image, 45, 5, 75, 29, GREEN, border, problems, "draw_rect")
        # Every point of the small circle outline, and nothing else.
        check_region(image, 90, 20, 110, 40, BLUE, circle_points(100, 30, 5), problems,
                     "draw_circle")
        # Filled circle: its interior and its extreme points.
        for p in [(150, 30), (142, 30), (158, 30), (150, 22), (150, 38), (145, 25), (155, 35)]:
            expect(*p, YELLOW, "fill_circle")
        for p in [(141, 30), (159, 30), (150, 21), (150, 39)]:
            expect(*p, BLACK, "fill_circle edge")
        # Triangle outline: the three segments point by point, nothing else.
        outline = set(segment_points(20, 60, 60, 60) + segment_points(60, 60, 40, 90) +
                      segment_points(40, 90, 20, 60))
        check_region(image, 15, 55, 65, 95, CYAN, outline, problems, "triangle outline")
        # Filled triangle: interior, its top-left corner in, the right end of the top edge and
        # the bottom vertex out.
        for p in [(80, 60), (100, 60), (85, 70), (90, 75), (81, 98), (80, 99)]:
            expect(*p, MAGENTA, "filled triangle")
        for p in [(120, 60), (80, 100), (79, 70), (101, 81)]:
            expect(*p, BLACK, "outside the filled triangle")
        # A Rect value filled through the built-in.
        check_region(image, 135, 55, 155, 75, BROWN,
                     {(px, py) for px in range(140, 150) for py in range(60, 70)}, problems,
                     "fill(rect)")
        # A point with Float coordinates lands on the truncated pixel.
        expect(170, 100, WHITE, "draw_point(170.9, 100.2)")
        expect(171, 100, BLACK, "next to the point")
        expect(170, 101, BLACK, "below the point")
        # A line between far-off ends, clamped, crosses the whole window.
        for px in range(0, 200, 7):
            expect(px, 150, WHITE, "clamped line")
        expect(100, 149, BLACK, "above the clamped line")
        if problems:
            gs.fail(f"{len(problems)} wrong pixels:\n" + "\n".join(problems[:40]))
        x.request_close(window)
        status, out, err = gs.finish(process)
        if status != 0 or out != "loop ended\nfalse\n":
            gs.fail(f"after the close request: status {status}, output {out!r}, errors {err!r}")
    print("ok")


main()
