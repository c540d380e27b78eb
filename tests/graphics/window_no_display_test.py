"""With no X server to reach, window creation fails silently: the create functions still
answer as usual, no window is open, drawing does nothing, the present step still paces, and
the script runs to its end with status 0. That holds with SDL's X11 driver named, and with
no driver named, when SDL would fall back to a driver that shows nothing (DISPLAY unset, or
naming a display where nothing listens). A driver that shows nothing still opens a window
when SDL_VIDEODRIVER asks for it."""

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
# Display :999 is assumed free: nothing here starts a server there.
ENVIRONMENTS = {
    "x11 named, no DISPLAY": {"SDL_VIDEODRIVER": "x11"},
    "no driver named, no DISPLAY": {},
    "no driver named, DISPLAY where nothing listens": {"DISPLAY": ":999"},
}


def run(interpreter, workdir, path, settings):
    env = gs.interpreter_environment(None, interpreter)
    del env["SDL_VIDEODRIVER"]
    # As in a login session: without it, the Wayland library SDL tries prints a complaint.
    env["XDG_RUNTIME_DIR"] = workdir
    env.update(settings)
    try:
        result = subprocess.run([interpreter, path], env=env, capture_output=True,
                                timeout=30, cwd=workdir)
    except subprocess.TimeoutExpired:
        gs.fail(f"{settings}: the script did not end within 30 s")
    return result.returncode, result.stdout.decode(), result.stderr.decode()


def main():
    interpreter = os.path.abspath(sys.argv[1])
    with gs.temporary_folder() as workdir:
        path = f"{workdir}/nowhere.vl"
        with open(path, "w") as f:
            f.write(SCRIPT)
        for name, settings in ENVIRONMENTS.items():
            status, out, err = run(interpreter, workdir, path, settings)
            if status != 0 or out != EXPECTED or err != "":
                gs.fail(f"{name}: status {status}, output {out!r}, errors {err!r}")
        # (dummy rather than offscreen: offscreen loads EGL, whose allocations the leak
        # checker can no longer name once SDL has unloaded it)
        status, out, err = run(interpreter, workdir, path, {"SDL_VIDEODRIVER": "dummy"})
        if status != 0 or not out.startswith("1\ntrue\n"):
            gs.fail(f"dummy asked for: status {status}, output {out!r}, errors {err!r}")
    print("ok")


main()
