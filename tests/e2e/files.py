#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The installed game started away from its data folder, beside files a user may leave there:
  from_home      started in an empty home folder, it reads its book and its four sounds from
                 the installed data folder (seen with strace);
  fifo_book      a named pipe as the book: the window comes, without a book and with a line
                 on standard error;
  endless_sounds a link to /dev/zero and a named pipe as two sounds: one warning box each, at
                 once, then the window, the memory untouched by them;
  long_music     an hour-long BGM.wav: the window comes at once and the game holds the file
                 about once in memory (the music is played from it, not decoded up front).
QUILLET_E2E_PREFIX names the installation prefix."""

import os
import re
import shutil
import sys
import tempfile
import wave

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import rules  # noqa: E402
import waits  # noqa: E402
from desktop import Display, Failure, Game, log, report_failure  # noqa: E402

BOOK = "Quillet.定石"
SOUNDS = ["その他.wav", "禁止.wav", "駒打音.wav", "BGM.wav"]
# What the game holds besides a sound file it plays from (Qt, the fonts, the pictures), with
# room to spare: a little over 40 MB is measured.
BASELINE_MB = 150


def expect(condition, message):
    if not condition:
        raise Failure(message)


def peak_mb(pid):
    with open(f"/proc/{pid}/status", encoding="ascii") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    raise Failure("no VmHWM in /proc/PID/status")


def window_up(game):
    """The window came (Game waits for it; a game blocked in a named pipe or spinning on an
    endless device never gets there) and shows the start position. How long it took is logged."""
    seconds = game.mapped - game.started
    log(f"window up {seconds:.2f} s after the start, painted after {game.first_paint - game.started:.2f} s")
    game.wait_board(rules.start_position(), "the start position")
    return seconds


def end(game):
    game.choose("対局", 2)  # 終了
    game.wait_exit()


def from_home(display, prefix, work):
    home = os.path.join(work, "home")
    os.mkdir(home)
    trace = os.path.join(work, "openat.log")
    game = Game(display, prefix, env={"HOME": home}, cwd=home,
                wrapper=["strace", "-f", "-qq", "-xx", "-s", "4096", "-e", "trace=openat", "-o", trace])
    try:
        window_up(game)
        expect("Quillet.dll" not in game.output(), "a sound warning:\n" + game.output())
        end(game)
    finally:
        game.stop()
    # Every character of a path is written in hex (-xx), so the Japanese names come through whole.
    opened = set()
    tried = []
    with open(trace, encoding="ascii", errors="replace") as f:
        for line in f:
            m = re.search(r'openat\(AT_FDCWD, "((?:\\x[0-9a-f]{2})*)", [^)]*\) = (-?\d+)', line)
            if m:
                path = bytes.fromhex(m.group(1).replace("\\x", "")).decode(errors="replace")
                tried.append(f"{path} = {m.group(2)}")
                if int(m.group(2)) >= 0:
                    opened.add(path)
    data = os.path.realpath(os.path.join(prefix, "share", "quillet"))
    for name in [BOOK] + SOUNDS:
        path = os.path.join(data, name)
        expect(path in opened, f"{path} was not opened; the game's opens of such names:\n"
               + "\n".join(t for t in tried if name in t))
    log(f"from_home: the book and the four sounds were read from {data}")
    helped = display.run([game.executable, "--help"]).stdout.decode()
    expect(f"installed, {data}." in helped, "--help does not name the data folder:\n" + helped)


def fifo_book(display, prefix, work):
    os.mkfifo(os.path.join(work, BOOK))
    game = Game(display, prefix, cwd=work)
    try:
        window_up(game)
        end(game)
    finally:
        game.stop()
    out = game.output()
    expect(re.search(re.escape(BOOK) + r": not a regular file; playing without the opening book", out),
           "no line on standard error about the book:\n" + out)


def endless_sounds(display, prefix, work):
    os.symlink("/dev/zero", os.path.join(work, "駒打音.wav"))
    os.mkfifo(os.path.join(work, "BGM.wav"))
    game = Game(display, prefix, cwd=work, boxes=["Quillet.dll", "Quillet.dll"])
    try:
        log("warning boxes up " + ", ".join(f"{t:.2f} s" for t in game.box_times) + " after the start")
        window_up(game)
        game.no_dialog()
        peak = peak_mb(game.pid)
        log(f"peak memory {peak:.0f} MB")
        expect(peak < BASELINE_MB, f"the game took {peak:.0f} MB")
        end(game)
    finally:
        game.stop()


def write_long_music(path, seconds):
    """Mono 16-bit at 44.1 kHz: a 440 Hz tone, 88 kB a second."""
    import math
    import struct
    second = b"".join(struct.pack("<h", int(8000 * math.sin(2 * math.pi * 440 * i / 44100))) for i in range(44100))
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(44100)
        for _ in range(seconds):
            w.writeframes(second)


def long_music(display, prefix, work):
    music = os.path.join(work, "BGM.wav")
    write_long_music(music, 3600)
    size_mb = os.path.getsize(music) / 2**20
    game = Game(display, prefix, cwd=work, env={"SDL_AUDIODRIVER": "disk",
                                                "SDL_DISKAUDIOFILE": os.path.join(work, "audio.raw")})
    try:
        window_up(game)
        audio = waits.file(os.path.join(work, "audio.raw"), "the music to play (44100 bytes of sound output)",
                           lambda p: (lambda size: size if size > 44100 else None)(os.path.getsize(p)))
        peak = peak_mb(game.pid)
        log(f"a {size_mb:.0f} MB music file: peak memory {peak:.0f} MB")
        expect(peak < size_mb + BASELINE_MB, f"the game took {peak:.0f} MB for a {size_mb:.0f} MB music file")
        end(game)
    finally:
        game.stop()


SCENARIOS = {f.__name__: f for f in [from_home, fifo_book, endless_sounds, long_music]}


def main():
    if len(sys.argv) != 2 or sys.argv[1] not in SCENARIOS:
        print("usage: files.py " + "|".join(SCENARIOS), file=sys.stderr)
        return 2
    for tool in ("strace",):
        if not shutil.which(tool):
            log(f"{tool} is missing (scripts/setup.sh installs it)")
            return 77
    prefix = os.environ.get("QUILLET_E2E_PREFIX")
    if not prefix or not os.path.isdir(prefix):
        log("QUILLET_E2E_PREFIX must name the installed prefix (the e2e_install test makes it)")
        return 1
    name = sys.argv[1]
    work = tempfile.mkdtemp(prefix="quillet-files-")
    display = None
    try:
        display = Display()
        SCENARIOS[name](display, prefix, work)
        log(f"{name}: passed")
        return 0
    except Failure as e:
        if display:
            report_failure(display, f"files_{name}", e)
        else:
            log(f"files_{name}: FAILED: {e}")
        return 1
    finally:
        if display:
            display.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
