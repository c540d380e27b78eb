"""Images drawn by the game module in a real window on Xvfb, read back from the X server. A
4 x 2 PNG made here (left half red, right half blue) is drawn scaled to 80 x 60 and at its
own size; a green rectangle drawn after it covers it, in the frame's draw order; the
background stays black outside. A file that is not an image, an image id the window never
loaded and a negative size are Errors naming the function."""

import os
import struct
import sys
import zlib

import graphics_support as gs

SCENE = """
use sdl2
use game
sdl2.set_max_fps(30)
def main() {
  sdl2.create_window("image", 320, 200)
  let img = game.image("halves.png")
  print([img["width"], img["height"], game.image("halves.png")["id"] == img["id"]])
  game.image("scene.vl")
  game.draw_image({kind: "image", id: 42}, 0, 0)
  game.draw_image(img, 0, 0, -5, 5)
  while sdl2.is_window_open() {
    sdl2.clear_screen()
    game.draw_image(img, 40, 30, 80, 60)
    game.draw_image(img, 200, 100)
    sdl2.set_draw_color(0, 255, 0)
    sdl2.fill_rect(100, 70, 40, 40)
    sdl2.render_present()
  }
  print("loop ended")
}
"""


def png(width, height, pixel):
    """A truecolour PNG of pixel(x, y) -> (r, g, b)."""
    raw = b"".join(b"\0" + b"".join(bytes(pixel(x, y)) for x in range(width))
                   for y in range(height))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data)))
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


RED, BLUE, GREEN, BLACK = (255, 0, 0), (0, 0, 255), (0, 255, 0), (0, 0, 0)


def main():
    interpreter = sys.argv[1]
    with gs.temporary_folder() as workdir, gs.Xvfb() as x:
        with open(os.path.join(workdir, "halves.png"), "wb") as f:
            f.write(png(4, 2, lambda px, py: RED if px < 2 else BLUE))
        process = x.start_script(interpreter, SCENE, workdir)
        window = x.find_window("image", process)
        image = x.screenshot_when(window, lambda shot: shot.at(139, 109) == GREEN)
        x.request_close(window)
        status, out, err = gs.finish(process)
    if status != 0 or out.splitlines() != ["[4, 2, true]", "loop ended"]:
        gs.fail(f"status {status}, output {out!r}, errors {err!r}")
    for wanted in ("game.image: cannot load 'scene.vl': ",
                   "game.draw_image: expected an image from game.image, got dict",
                   "game.draw_image: the width and height cannot be negative, got -5 and 5"):
        if wanted not in err:
            gs.fail(f"no {wanted!r} in {err!r}")
    # Where each colour must be: the scaled copy's halves, the green cover, the small copy.
    expected = {(45, 35): RED, (78, 88): RED, (82, 88): BLUE, (118, 35): BLUE,
                (101, 71): GREEN, (139, 109): GREEN, (120, 100): GREEN,
                (200, 100): RED, (201, 101): RED, (202, 100): BLUE, (203, 101): BLUE,
                (39, 50): BLACK, (121, 50): BLACK, (60, 29): BLACK, (60, 90): BLACK,
                (204, 100): BLACK, (200, 102): BLACK, (141, 80): BLACK}
    problems = [f"{where}: {image.at(*where)}, expected {colour}"
                for where, colour in expected.items() if image.at(*where) != colour]
    if problems:
        gs.fail("\n".join(problems))
    print("ok")


main()
