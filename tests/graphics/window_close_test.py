"""Ending a window's loop from outside: a close request (WM_DELETE_WINDOW, sent as a
window manager's close button does) and SIGTERM or one SIGINT (which SDL turns into a quit
event) make is_window_open false after the next present step, so the loop ends, the rest
of the script runs and the status is 0. A script that never looks is ended by a second
SIGINT, with status 130."""

import signal
import sys
import time

import graphics_support as gs

LOOP = """
use sdl2
sdl2.set_max_fps(30)
sdl2.create_window("closing", 100, 100)
let frames = 0
while sdl2.is_window_open() and frames < 900 {
  sdl2.clear_screen()
  sdl2.render_present()
  frames = frames + 1
}
print(sdl2.is_window_open())
print(frames < 900)
sdl2.render_present()
sdl2.fill_rect(0, 0, 10, 10)
print(window_width())
print("rest of the script")
"""

BLIND_LOOP = """
use sdl2
sdl2.set_max_fps(30)
window(100, 100)
let frames = 0
while frames < 900 {
  clear()
  present()
  frames = frames + 1
}
print("never printed")
"""

EXPECTED = "false\ntrue\n100\nrest of the script\n"


def close_with(x, interpreter, workdir, how):
    process = x.start_script(interpreter, LOOP, workdir)
    window = x.find_window("closing", process)
    time.sleep(0.3)
    if how == "WM_DELETE_WINDOW":
        x.request_close(window)
    else:
        process.send_signal(how)
    status, out, err = gs.finish(process)
    if status != 0 or out != EXPECTED:
        return [f"{how}: status {status}, output {out!r}, errors {err!r}"]
    return []


def main():
    interpreter = sys.argv[1]
    problems = []
    with gs.temporary_folder() as workdir, gs.Xvfb() as x:
        for how in ["WM_DELETE_WINDOW", signal.SIGTERM, signal.SIGINT]:
            problems += close_with(x, interpreter, workdir, how)
        process = x.start_script(interpreter, BLIND_LOOP, workdir)
        x.find_window("Vormel", process)
        time.sleep(0.3)
        process.send_signal(signal.SIGINT)
        time.sleep(0.3)
        if process.poll() is not None:
            problems.append(f"one SIGINT ended a running loop (status {process.returncode})")
        process.send_signal(signal.SIGINT)
        status, out, err = gs.finish(process)
        if status != 130 or "never printed" in out:
            problems.append(f"second SIGINT: status {status}, output {out!r}")
    if problems:
        gs.fail("\n".join(problems))
    print("ok")


main()
