# SPDX-License-Identifier: GPL-3.0-or-later
"""The end-to-end scenarios' waits: each looks again and again until a condition holds, and
fails with a Failure naming what it waited for (and what it saw last) once its deadline passes.
A scenario waits through these and nothing else: no fixed sleep stands in for a condition.

Deadlines are far beyond the slowest time seen on a busy machine (the cores shared several
times over), so a wait fails only when the game does not do what it should:
  DEADLINE       60 s, for anything the game does at once (a box, a redraw, a move, its end);
                 the slowest seen is a few seconds.
  START_DEADLINE 180 s, for the game's first window, box and frame after its start: a fresh
                 system's first start of Qt builds the font cache (up to about 20 s seen).

  until(what, condition, timeout=DEADLINE, interval=0.05, seen=None)
      The core: calls condition() until it returns something true, and returns that. seen(),
      where given, describes the last state for the failure message.
  steady(what, look, accept=None, quiet=0.0, timeout=DEADLINE, interval=0.1)
      Until look() returns one value that accept(value) takes (any, by default) at every look
      over at least `quiet` seconds, and at least two looks in a row; returns that value. For
      things that settle (a window the manager is still framing, a caption being drawn).
  window(display, name, timeout=DEADLINE, interval=0.02)
      A visible window titled exactly `name`; returns its id. named(display, name) lists the
      ones up now.
  placed(what, box, expected=None, quiet=0.8, timeout=DEADLINE)
      A window's box (box() returns it) at one of `expected` (any box, if None) and still
      there after `quiet` seconds of looking; returns it.
  box(game, title, timeout=DEADLINE)
      A message box of the game titled `title`; returns its window. A box with another title
      fails at once; one whose title cannot be read (drawn inside the game's window) is taken.
  gone(what, present, timeout=DEADLINE)
      Until present() is false: a box or a menu closed, a window gone.
  board(game, expected, what, timeout=DEADLINE)
      The screen read until it shows exactly `expected` (a board, or a list of boards);
      returns the board seen.
  screen(display, what, condition, timeout=DEADLINE)
      Screenshots taken until condition(shot) returns something true; returns that.
  region(shot, box)
      The pixels of a box (x, y, w, h) of a screenshot, to compare two looks with.
  ended(proc, what, timeout=DEADLINE)
      A process's end; returns its exit status.
  file(path, what, condition=None, timeout=DEADLINE)
      A file that exists and, where given, satisfies condition(path); returns its size (or
      condition's value).
"""

import os
import subprocess
import time

DEADLINE = 60.0
START_DEADLINE = 180.0


class Failure(Exception):
    pass


def until(what, condition, timeout=DEADLINE, interval=0.05, seen=None):
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            message = f"timed out after {timeout:g} s waiting for {what}"
            if seen:
                message += f"; {seen()}"
            raise Failure(message)
        time.sleep(interval)


def steady(what, look, accept=None, quiet=0.0, timeout=DEADLINE, interval=0.1):
    last = {}

    def held():
        now = look()
        if "value" not in last or now != last["value"]:
            last.clear()
            last["value"] = now
            if accept is None or accept(now):
                last["since"] = time.monotonic()
            return None
        if "since" in last and time.monotonic() - last["since"] >= quiet:
            return (now,)
        return None
    return until(what, held, timeout, interval, seen=lambda: f"last seen {last.get('value')!r}")[0]


def named(display, name):
    pattern = "^" + "".join("\\" + c if c in ".^$*+?()[]{}|\\" else c for c in name) + "$"
    return display.xdotool("search", "--onlyvisible", "--name", pattern, check=False).split()


def window(display, name, timeout=DEADLINE, interval=0.02):
    return until(f"a window titled {name!r}", lambda: named(display, name), timeout, interval)[0]


def placed(what, box, expected=None, quiet=0.8, timeout=DEADLINE):
    choices = None if expected is None else (expected if isinstance(expected, list) else [expected])
    return steady(what, box, None if choices is None else (lambda b: b in choices), quiet, timeout)


def box(game, title, timeout=DEADLINE):
    def up():
        boxes = game.dialogs()
        for window, shown in boxes:
            if shown == title or shown is None:  # None: a title only its pixels show
                return window
        if boxes:
            raise Failure(f"a message box titled {boxes[0][1]!r} came up, expected {title!r}")
        return None
    return until(f"a message box titled {title!r}", up, timeout, 0.1)


def gone(what, present, timeout=DEADLINE):
    until(what, lambda: not present(), timeout, 0.05)


def board(game, expected, what, timeout=DEADLINE):
    choices = expected if isinstance(expected, list) else [expected]
    seen = {}

    def shows():
        shown = game.read_board()
        seen["last"] = shown
        return shown if shown in choices else None

    def describe():
        import rules
        boxes = game.dialogs()
        text = f"the screen shows\n{rules.render(seen['last'])}\nexpected\n" + "\n--\n".join(
            rules.render(b) for b in choices[:3])
        if boxes:
            text += "\nmessage boxes up: " + ", ".join(repr(t) for _, t in boxes)
        return text
    return until(what, shows, timeout, 0.1, seen=describe)


def screen(display, what, condition, timeout=DEADLINE):
    return until(what, lambda: condition(display.screenshot()), timeout, 0.05)


def region(shot, box):
    x, y, w, h = box
    return tuple(shot.get(xx, yy) for yy in range(max(y, 0), min(y + h, shot.height))
                 for xx in range(max(x, 0), min(x + w, shot.width)))


def ended(proc, what, timeout=DEADLINE):
    try:
        return proc.wait(timeout)
    except subprocess.TimeoutExpired:
        raise Failure(f"timed out after {timeout:g} s waiting for {what}") from None


def file(path, what, condition=None, timeout=DEADLINE):
    def ready():
        if not os.path.exists(path):
            return None
        if condition is None:
            return os.path.getsize(path) or True
        return condition(path)
    return until(what, ready, timeout, 0.05)
