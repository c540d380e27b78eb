"""Sounds through SDL2_mixer, without a window. With SDL's disk audio driver, a WAV effect
and looping music reach the output file as samples that are not all zero, and a file that
is not a sound, or a sound file over 8 MiB, is an Error naming it. Without an audio device
(a driver that does not exist) the script runs to its end: sound() still answers its
value, play() and music() answer false, and only a missing file is an Error; libasound's own
messages about a missing sound card stay off stderr."""

import os
import subprocess
import sys

import graphics_support as gs

WAV = os.path.abspath(os.path.join(gs.HERE, "..", "..", "examples", "assets", "hit.wav"))

SCRIPT = """
use game
use time
let hit = game.sound(WAV)
print([hit["kind"], hit["id"], game.sound(WAV)["id"]])
print([game.play(hit), game.play(hit, 0.25), game.music(WAV)])
time.sleep(0.4)
print(game.stop_music())
print(game.play(hit, 1.5))
print(game.sound("notes.txt"))
print(game.music("notes.txt"))
print(game.sound("missing.ogg"))
print(game.sound("long.wav"))
print("end")
""".replace("WAV", repr(WAV).replace("'", '"'))


def run(interpreter, workdir, driver):
    env = gs.interpreter_environment(None, interpreter)
    env["SDL_AUDIODRIVER"] = driver
    env["SDL_DISKAUDIOFILE"] = os.path.join(workdir, "out.raw")
    result = subprocess.run([os.path.abspath(interpreter), "sound.vl"], cwd=workdir, env=env,
                            stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
    return result.returncode, result.stdout.decode(), result.stderr.decode()


def main():
    interpreter = sys.argv[1]
    problems = []
    with gs.temporary_folder() as workdir:
        with open(os.path.join(workdir, "sound.vl"), "w") as f:
            f.write(SCRIPT)
        with open(os.path.join(workdir, "notes.txt"), "w") as f:
            f.write("not a sound\n")
        with open(os.path.join(workdir, "long.wav"), "wb") as f:
            f.truncate(9 << 20)
        status, out, err = run(interpreter, workdir, "disk")
        if status != 0 or out.splitlines()[:3] != ['[sound, 1, 1]', "[true, true, true]", "null"]:
            problems.append(f"disk: status {status}, output {out!r}")
        for wanted in ("game.play: the volume must be from 0 to 1, got 1.5",
                       "game.sound: cannot load 'notes.txt': ",
                       "game.music: cannot load 'notes.txt': ",
                       "game.sound: cannot load 'missing.ogg': No such file or directory",
                       "game.sound: cannot load 'long.wav': the file is larger than 8 MiB"):
            if wanted not in err:
                problems.append(f"disk: no {wanted!r} in {err!r}")
        if not out.endswith("end\n"):
            problems.append(f"disk: the script did not run to its end: {out!r}")
        with open(os.path.join(workdir, "out.raw"), "rb") as f:
            samples = f.read()
        if not any(samples):
            problems.append(f"disk: {len(samples)} bytes of output, all zero")
        status, out, err = run(interpreter, workdir, "no_such_driver")
        if status != 0 or out.splitlines()[:3] != ['[sound, 1, 1]', "[false, false, false]",
                                                   "null"] or not out.endswith("end\n"):
            problems.append(f"no device: status {status}, output {out!r}")
        if "'notes.txt'" in err or "'missing.ogg': No such file" not in err:
            problems.append(f"no device: errors {err!r}")
        status, out, err = run(interpreter, workdir, "alsa")
        if status != 0 or "ALSA lib" in err:
            problems.append(f"alsa: status {status}, errors {err!r}")
    if problems:
        gs.fail("\n".join(problems))
    print(f"ok ({len(samples)} bytes of samples)")


main()
