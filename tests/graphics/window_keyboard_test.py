"""Real key events, sent with xdotool (XTEST) to the focused window on Xvfb, reach the
pressed, held and released sets as the present step describes: a press is pressed for one
frame and held until released; a release is released for one frame; a press and release
within one frame is pressed and released but never held; auto-repeat is not counted again;
shift held with a letter; keys outside the table are "unknown"; the Number 5 names the key 5.
"""

import re
import sys
import time

import graphics_support as gs

SCRIPT = """
use sdl2
sdl2.set_max_fps(8)
sdl2.create_window("keys", 120, 80)
let names = ["a", "space", "lshift", "unknown", "5"]
let frame = 0
let running = true
while sdl2.is_window_open() and running and frame < 400 {
  sdl2.clear_screen()
  sdl2.render_present()
  frame = frame + 1
  let line = ""
  for k in names {
    if sdl2.get_input_pressed(k) { line = concat(line, " +", k) }
    if sdl2.get_input_held(k) { line = concat(line, " =", k) }
    if sdl2.get_input_released(k) { line = concat(line, " -", k) }
  }
  if sdl2.get_input_held(5) { line = concat(line, " #5") }
  if sdl2.get_input_held("A") { line = concat(line, " upper") }
  if line != "" { print(concat(frame, ":", line)) }
  if sdl2.get_input_released("escape") { running = false }
}
print("done")
"""


def parse(output):
    frames = []
    for line in output.splitlines():
        m = re.fullmatch(r"(\d+):(( \S+)+)", line)
        if m:
            frames.append((int(m.group(1)), set(m.group(2).split())))
    return frames


def check_key(frames, key, problems):
    """Every press is followed by held frames up to its release; nothing held otherwise."""
    presses = 0
    held = False
    last = None
    for number, tokens in frames:
        pressed, is_held, released = f"+{key}" in tokens, f"={key}" in tokens, f"-{key}" in tokens
        if last is not None and held and number != last + 1 and not released:
            problems.append(f"{key}: held but missing from frame {last + 1}")
        if pressed:
            presses += 1
            if held:
                problems.append(f"{key}: pressed again in frame {number} while held")
            if not is_held and not released:
                problems.append(f"{key}: pressed but not held in frame {number}")
        elif is_held and not held:
            problems.append(f"{key}: held in frame {number} without a press")
        if released and is_held:
            problems.append(f"{key}: released and still held in frame {number}")
        if released and not held and not pressed:
            problems.append(f"{key}: released in frame {number} without a press")
        held = is_held
        last = number
    if held:
        problems.append(f"{key}: still held at the end")
    return presses


def main():
    interpreter = sys.argv[1]
    with gs.temporary_folder() as workdir, gs.Xvfb() as x:
        process = x.start_script(interpreter, SCRIPT, workdir)
        window = x.find_window("keys", process)
        x.focus(window)
        time.sleep(0.5)
        # A: press, hold for several frames, release.
        x.keys("keydown", "a")
        time.sleep(0.8)
        x.keys("keyup", "a")
        time.sleep(0.5)
        # B: a long hold, through the server's auto-repeat.
        x.keys("keydown", "a")
        time.sleep(2.0)
        x.keys("keyup", "a")
        time.sleep(0.5)
        # C: press and release within one frame, three times.
        for _ in range(3):
            x.keys("keydown", "space", "keyup", "space")
            time.sleep(0.5)
        # D: shift held while a is pressed.
        x.keys("keydown", "Shift_L")
        time.sleep(0.4)
        x.keys("keydown", "a", "keyup", "a")
        time.sleep(0.4)
        x.keys("keyup", "Shift_L")
        time.sleep(0.4)
        # E: a key outside the table, then the key 5.
        x.keys("keydown", "F1")
        time.sleep(0.4)
        x.keys("keyup", "F1")
        time.sleep(0.4)
        x.keys("keydown", "5")
        time.sleep(0.4)
        x.keys("keyup", "5")
        time.sleep(0.4)
        x.keys("keydown", "Escape", "keyup", "Escape")
        status, out, err = gs.finish(process)
    if status != 0 or not out.endswith("done\n"):
        gs.fail(f"status {status}, output {out!r}, errors {err!r}")
    frames = parse(out)
    problems = []
    presses = {key: check_key(frames, key, problems)
               for key in ["a", "space", "lshift", "unknown", "5"]}
    # A, B and D press a once each: auto-repeat in B adds nothing.
    if presses["a"] != 3:
        problems.append(f"a pressed {presses['a']} times, expected 3")
    held_a = [n for n, t in frames if "=a" in t]
    if len(held_a) < 10:
        problems.append(f"a held in only {len(held_a)} frames")
    if presses["space"] != 3:
        problems.append(f"space pressed {presses['space']} times, expected 3")
    if not any({"+space", "-space"} <= t and "=space" not in t for _, t in frames):
        problems.append("no frame saw space pressed and released together")
    if not any({"+a", "=lshift"} <= t for _, t in frames):
        problems.append("no frame saw a pressed while lshift was held")
    if presses["lshift"] != 1 or presses["unknown"] != 1 or presses["5"] != 1:
        problems.append(f"presses: {presses}")
    if not any("#5" in t for _, t in frames):
        problems.append("the Number 5 never tested the held key 5")
    if any("upper" in t for _, t in frames):
        problems.append('the String "A" was found held')
    if problems:
        gs.fail("\n".join(problems) + "\n--- output:\n" + out)
    print("ok")


main()
