"""Opening a window maps exactly one X window, under each renderer. An accelerated renderer
replaces the window's first X window; were that one shown, a user would see a window flash
and a test could find a window that is about to go."""

import sys

import graphics_support as gs

SCENE = """
use sdl2
sdl2.create_window("mapped", 120, 90)
let frames = 0
while sdl2.is_window_open() and frames < 3 {
  sdl2.clear_screen()
  sdl2.render_present()
  frames = frames + 1
}
print("done")
"""


def main():
    interpreter = sys.argv[1]
    with gs.temporary_folder() as workdir, gs.Xvfb(320, 240) as x:
        for renderer in ({}, {"SDL_RENDER_DRIVER": "software"}):
            watcher = gs.MapWatcher(x.display)
            process = x.start_script(interpreter, SCENE, workdir, settings=renderer)
            status, out, err = gs.finish(process, timeout=60)
            maps = watcher.count_maps()
            watcher.close()
            if status != 0 or out != "done\n":
                gs.fail(f"{renderer or 'default'}: status {status}, output {out!r}: {err}")
            if maps != 1:
                gs.fail(f"{renderer or 'default'}: {maps} windows were mapped, not 1")
    print("ok")


main()
