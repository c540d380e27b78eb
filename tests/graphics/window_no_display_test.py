"""With SDL's X11 driver and no X server to reach, window creation fails silently: the
create functions still answer as usual, no window is open, drawing does nothing, the
present step still paces, and the script runs to its end with status 0."""

import os
import subprocess
import sys

import graphics_support as gs

SCRIPT = """
use sdl2
sdl2.set_max_fps(100)
print(sdl2.create_window("nowhere", 100, 100))
print(sdl2.is_window_open())
print(window(100, 100))
print(is_open())
print(sdl2.get_window_width())
print(window_height())
sdl2.clear_screen()
sdl2.fill_circle(10, 10, 5)
fill(triangle(0, 0, 10, 0, 0, 10), color(1, 2, 3))
sdl2.render_present()
present()
print(sdl2.delta_time() > 0.005)
print(sdl2.get_input_held("a"))
print("end")
"""

EXPECTED = "1\nfalse\nnull\nfalse\nnull\nnull\ntrue\nfalse\nend\n"


def main():
    interpreter = os.path.abspath(sys.argv[1])
    with gs.temporary_folder() as workdir:
        path = f"{workdir}/nowhere.vl"
        with open(path, "w") as f:
            f.write(SCRIPT)
        env = gs.interpreter_environment(None, interpreter)
        try:
            result = subprocess.run([interpreter, path], env=env, capture_output=True,
                                    timeout=30, cwd=workdir)
        except subprocess.TimeoutExpired:
            gs.fail("the script did not end within 30 s")
    out, err = result.stdout.decode(), result.stderr.decode()
    if result.returncode != 0 or out != EXPECTED or err != "":
        gs.fail(f"status {result.returncode}, output {out!r}, errors {err!r}")
    print("ok")


main()
