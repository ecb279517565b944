#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The game under a real window manager in a private Xvfb display, where message boxes get a title
bar: window_manager.py NAME [MANAGER] runs one scenario and exits 0 when it passed, 1 when it
failed, 77 when it cannot run here. MANAGER is openbox (the default) or xfwm4. QUILLET_E2E_PREFIX
names the installation prefix; pictures of what was checked go to e2e-shots/ in the working directory."""

import os
import shutil
import signal
import subprocess
import sys
import threading
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import rules  # noqa: E402
import waits  # noqa: E402
from desktop import Failure, Game, end, log, session, spawn  # noqa: E402
from scenarios import WIPEOUT, box_over_game, expect, play_two_players, start_two_players  # noqa: E402

SKIP = 77


# Where each manager puts the outer box the game asks for at start-up, PLACED (below): openbox
# where asked; xfwm4 moves a frame's top between -29 and -1 to 0.
MANAGERS = ("openbox", "xfwm4")


def missing(kind):
    """What this machine lacks to run a manager, or None."""
    if not shutil.which("xprop"):
        return "xprop"
    if kind == "openbox":
        return None if shutil.which("openbox") else "openbox"
    # xfwm4 reads its settings through xfconfd, on a session bus of its own.
    return None if shutil.which("xfwm4") and shutil.which("dbus-run-session") else "xfwm4 or dbus-run-session"


class WindowManager:
    """A window manager with its packaged settings (not the developer's own), on a Display."""

    def __init__(self, display, replace=False, kind="openbox"):
        """replace: takes the screen from the manager running, as a restart does."""
        self.display, self.kind = display, kind
        config = os.path.join(display.runtime, "config")
        os.makedirs(config, exist_ok=True)
        env = dict(display.env, XDG_CONFIG_HOME=config)
        if kind == "xfwm4":
            argv = ["dbus-run-session", "--", "xfwm4", "--compositor=off"] + (["--replace"] if replace else [])
        else:
            argv = ["openbox"] + (["--replace"] if replace else [])
            if os.path.exists("/etc/xdg/openbox/rc.xml"):
                argv += ["--config-file", "/etc/xdg/openbox/rc.xml"]
        before = self.announced()
        self.proc = spawn(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # A window manager announces itself on the root window.
        waits.until(f"{kind} to take the screen", lambda: b"window id" in self.announced() and self.announced() != before)

    def announced(self):
        return self.display.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False).stdout

    def stop(self):
        end(self.proc)


class ManagedGame(Game):
    """The game as a window manager shows it: the manager frames the window, and the game places
    it again once the frame is known, so the client area settles only after a moment."""

    def geometry(self, window):
        # xdotool counts a framed window's position from the frame's offset twice; xwininfo's
        # absolute position is the client's on the screen.
        values = {}
        for line in self.display.run(["xwininfo", "-id", str(window)]).stdout.decode().splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        return (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                int(values["Width"]), int(values["Height"]))

    def locate(self):
        settled_box(self)
        super().locate()

    def box_rect(self, window):
        """A message box's outer box, title bar included, once the manager has placed it."""
        return waits.steady("the box framed and standing still", lambda: outer_box(self, window),
                            lambda b: b is not None, quiet=0.3)


# ---- the title bar ---------------------------------------------------------------------------------

def frame_box(game, window, framed=True):
    """The window's outer box on the screen, title bar and borders included: (x, y, w, h), and
    the height of the decoration above the client. A window not framed yet fails, or gives None
    if `framed` is false."""
    x, y, w, h = game.geometry(window)
    out = game.display.run(["xprop", "-id", str(window), "_NET_FRAME_EXTENTS"]).stdout.decode()
    if "=" not in out:
        if not framed:
            return None
        raise Failure(f"window {window} has no frame: {out.strip()}")
    left, right, top, bottom = (int(v) for v in out.split("=", 1)[1].split(","))
    return (x - left, y - top, w + left + right, h + top + bottom), top


def set_title(display, window, title):
    """Sets the title the window manager shows, as the program does (UTF-8 _NET_WM_NAME)."""
    display.run(["xprop", "-id", str(window), "-f", "_NET_WM_NAME", "8u", "-set", "_NET_WM_NAME", title])


def title_bar(game, window):
    """The pixels of the window's title bar on the screen, as rows of RGB triples, and the
    frame column of their first column (a frame may begin left of the screen)."""
    (x, y, w, _), top = frame_box(game, window)
    shot = game.display.screenshot()
    left, right = max(x, 0), min(x + w, shot.width)
    rows = [[shot.get(xx, yy) for xx in range(left, right)] for yy in range(max(y, 0), min(y + top, shot.height))]
    return rows, left - x


def title_ink(game, window, title):
    """The columns of the title bar that `title` paints, found by showing the window first with
    that title and then with a blank one: (first column, last column), counted from the frame's
    left edge. Leaves the window with the title it had."""
    original = game.display.xdotool("getwindowname", window)
    before, skipped = title_bar(game, window)

    def bar():
        return title_bar(game, window)[0]

    def changed_from(what, old):
        # Changed, and drawn to the end: the same in looks a moment apart.
        return waits.steady(what, bar, lambda now: now != old, quiet=0.1)
    with_title = before
    if original != title:
        set_title(game.display, window, title)
        with_title = changed_from("the title drawn", before)
    set_title(game.display, window, " ")
    without = changed_from("the title blanked", with_title)
    set_title(game.display, window, original)
    waits.until("the title restored", lambda: bar() == before)
    columns = [x for x in range(min(len(with_title[0]), len(without[0])))
               if any(a[x] != b[x] for a, b in zip(with_title, without))]
    if not columns:
        raise Failure(f"no ink of the title {title!r} in window {window}'s title bar")
    return columns[0] + skipped, columns[-1] + skipped


# ---- scenarios -------------------------------------------------------------------------------------

def result_title_in_full(game):
    """A game between two people to its end; the result box, whose title alone names the winner,
    shows the whole title in its title bar."""
    start = game.wait_board(rules.start_position(), "the start position")
    start_two_players(game)
    board, _ = play_two_players(game, start, WIPEOUT)
    game.answer("対局")  # 終了しました
    title = "先手の勝ち！！"
    window, shown = game.wait_dialog()
    expect(shown == title, f"the result box is titled {shown!r}, expected {title!r}")
    # The box's text is short ("と：[13]  歩：[0]"); its width must come from the title.
    (fx, fy, fw, fh), top = frame_box(game, window)
    shots = os.path.join(os.getcwd(), "e2e-shots")
    os.makedirs(shots, exist_ok=True)
    game.display.run(["import", "-window", "root", "-crop", f"{fw}x{fh}+{fx}+{fy}",
                      os.path.join(shots, "result_box.png")], check=False)

    left, right = title_ink(game, window, title)
    # The same title in a title bar with room to spare: the game's main window's, blanked and
    # given the title for the measure, then its own title back.
    ref_left, ref_right = title_ink(game, game.main, title)
    needed, shown_width = ref_right - ref_left + 1, right - left + 1
    log(f"result box: frame {fw}x{fh} px (title bar {top} px); the title paints {shown_width} px of it, "
        f"{needed} px in full; last title pixel {fw - 1 - right} px from the frame's right edge")
    # A title cut short by the manager ("先…！") paints far fewer columns than the whole title;
    # the two bars' colours may shift a softened edge by a pixel.
    expect(shown_width >= needed - 2, f"the result box shows its title in {shown_width} px, the whole title takes "
                                  f"{needed} px: the title is cut")

    game.answer(title)
    game.answer("対局", key="Escape")  # 続けます？ — No
    expect(game.wait_exit() == 0, "the game did not exit cleanly after declining to go on")


# The outer box the game asks for at start-up: its corner four pixels beyond the screen's, the
# frame and caption included.
PLACED = (-4, -4, 567, 533)
# Where the manager of this run puts the box asked for (main() sets it).
WHERE_PUT = PLACED


def where_put(kind):
    """Where the manager puts the box asked for: openbox as asked, the others at the top edge."""
    return PLACED if kind == "openbox" else (PLACED[0], 0) + PLACED[2:]


def started_well(game, start):
    """One start checked: the window at the manager's place for the box asked for, the caption
    and the menu bar on the screen."""
    box = settled_box(game)
    _, top = frame_box(game, game.main)
    x, y, w, h = game.geometry(game.main)
    screen = game.display.screenshot()
    log(f"start {start + 1} under {game.manager.kind}: outer box {box}, caption {top} px")
    expected = where_put(game.manager.kind)
    expect(box == expected, f"start {start + 1}: the window's outer box is {box}, expected {expected}")
    # The caption: the frame no more than the 4 px asked for above the screen's top, so the rest
    # of its height shows; the menu bar, at the window's top, wholly on the screen.
    expect(box[1] >= -4 and y >= 0 and top > 4, f"start {start + 1}: the caption is off the screen: frame top "
           f"{box[1]}, caption {top} px, window top {y}")
    expect(x + w <= screen.width and y + h <= screen.height, f"start {start + 1}: the window {x, y, w, h} leaves "
           f"the {screen.width} x {screen.height} screen")
    return box


def outer_box(game, window=None):
    framed = frame_box(game, window or game.main, framed=False)
    return framed and framed[0]


def settled_box(game, expected=None):
    """The main window's outer box once it is at `expected` (a box, a list of them, or a test
    of the box; by default where the manager puts the box asked for) and has stood still there
    for a moment. A window that still moves after that moment, or stands elsewhere, is what the
    caller's check finds."""
    if expected is None:
        expected = WHERE_PUT
    if callable(expected):
        return waits.steady("the window to stand still in its frame", lambda: outer_box(game),
                            lambda b: b is not None and expected(b), quiet=0.8)
    return waits.placed(f"the window to stand still in its frame at {expected}", lambda: outer_box(game),
                        expected, quiet=0.8)


def parent(game):
    """The window holding the game's main window: the manager's frame."""
    out = game.display.run(["xwininfo", "-tree", "-id", str(game.main)]).stdout.decode()
    return next(line.split()[3] for line in out.splitlines() if line.strip().startswith("Parent window id"))


def window_state(game):
    """ICCCM's WM_STATE of the main window as the manager set it: 'Normal', 'Iconic' or ''."""
    out = game.display.run(["xprop", "-id", str(game.main), "WM_STATE"], check=False).stdout.decode()
    for line in out.splitlines():
        if "window state:" in line:
            return line.split(":", 1)[1].strip()
    return ""


def restarted(game):
    """The game stopped and started again, under the same manager."""
    prefix, cleanups = game.prefix, game.cleanups
    game.stop()
    # The next game's window is found by its name: the last one must be gone first.
    waits.gone("the last game's window to go", lambda: waits.named(game.display, "Quillet"))
    again = ManagedGame(game.display, prefix)
    again.prefix, again.cleanups, again.manager = prefix, cleanups, game.manager
    cleanups.append(again.stop)
    return again


def placed_by_a_stuttering_manager(game):
    """A manager that gets the processor only in short turns, as on a busy machine, answers
    each request late and in pieces, after Qt has read its frame; each start is still placed as
    asked."""
    manager = game.manager.proc.pid
    for start in range(3):
        stop = threading.Event()

        def stutter():
            # The manager's turns: this pacing is the busy machine being played; nothing checked
            # depends on the lengths, only on the window ending where it was asked to be.
            while not stop.is_set():
                os.kill(manager, signal.SIGSTOP)
                time.sleep(0.06)
                os.kill(manager, signal.SIGCONT)
                time.sleep(0.015)
        turns = threading.Thread(target=stutter)
        turns.start()
        try:
            game = restarted(game)  # its start waits for the window to stand still in its place
        finally:
            stop.set()
            turns.join()
            os.kill(manager, signal.SIGCONT)
        # Placed as asked, and still there with the manager running freely again.
        box = settled_box(game)
        log(f"start {start + 1}, the manager stuttering: outer box {box}")


def placed_once(game):
    """Three starts, each placed in the manager's frame where the manager puts the box asked for,
    its caption on the screen; then moved by the user, minimised and restored, and framed again by
    a manager that restarts, the window stays where the user put it, at its size."""
    for start in range(3):
        if start:
            game = restarted(game)
        box = started_well(game, start)
    game.display.xdotool("windowmove", game.main, "199", "130")
    moved = settled_box(game, lambda b: b != box)
    log(f"moved by the user: {moved}")
    game.display.xdotool("windowminimize", "--sync", game.main)
    waits.until("the manager to have minimised the window", lambda: window_state(game) == "Iconic")
    game.display.xdotool("windowactivate", "--sync", game.main)
    waits.until("the manager to have restored the window", lambda: window_state(game) == "Normal")
    restored = settled_box(game, moved)
    log(f"minimised and restored: {restored}")
    # A manager that restarts frames the window anew; the program leaves it where it is.
    frame = parent(game)
    manager = WindowManager(game.display, replace=True, kind=game.manager.kind)
    game.cleanups.append(manager.stop)
    waits.until("the restarted manager to frame the window anew", lambda: parent(game) != frame)
    again = settled_box(game, moved)
    log(f"the window manager restarted: {again}")
    expect(game.proc.poll() is None, "the game ended")


def hovered_bar_commands(game):
    """The pointer resting on 戻 or その他 makes no key run them; F10 and the arrow keys to 戻,
    then Return, runs 戻, whose refusal stands over the game."""
    game.wait_board(rules.start_position(), "the start position")
    for caption in ("戻", "その他"):
        a, b = game.titles[game.TITLES.index(caption)]
        # The pointer's move reaches the game before the keys (the bar shows no hover).
        game.display.xdotool("mousemove", "--sync", str((a + b) // 2), str(game.menu_y))
        game.focus_main()
        game.display.xdotool("key", "space", "Return", "KP_Enter")
        # A command run by one of them would have brought up its box (戻れません, the about box).
        game.input_handled()
        game.no_dialog()
    x, y = game.square_centre((5, 5))
    game.display.xdotool("mousemove", str(x), str(y))
    game.focus_main()
    game.display.xdotool("key", "F10")
    first, _, _, _ = game.wait_popup([], 3)
    game.display.xdotool("key", "Right")  # 局面
    waits.until("the drop-down of 局面", lambda: [w for w in game.windows() if w != first])
    game.display.xdotool("key", "Right")  # 戻: no drop-down, the title highlighted
    waits.until("the drop-down to close", lambda: not game.windows())
    # 戻れません (nothing recorded yet), over the game.
    box_over_game(game, lambda: game.display.xdotool("key", "Return"), "戻る")
    expect(game.proc.poll() is None, "the game ended")


SCENARIOS = {f.__name__: f for f in [result_title_in_full, placed_once, placed_by_a_stuttering_manager,
                                     hovered_bar_commands]}


def main():
    kind = sys.argv[2] if len(sys.argv) == 3 else "openbox"
    if len(sys.argv) not in (2, 3) or sys.argv[1] not in SCENARIOS or kind not in MANAGERS:
        print("usage: window_manager.py " + "|".join(SCENARIOS) + " [" + "|".join(MANAGERS) + "]",
              file=sys.stderr)
        return 2
    lacking = missing(kind)
    if lacking:
        log(f"{lacking} is missing (scripts/setup.sh installs it)")
        return SKIP

    global WHERE_PUT
    WHERE_PUT = where_put(kind)

    def start(display, prefix, cleanups):
        manager = WindowManager(display, kind=kind)
        cleanups.append(manager.stop)
        game = ManagedGame(display, prefix)
        # A scenario that starts the game again stops the later ones too.
        game.prefix, game.cleanups, game.manager = prefix, cleanups, manager
        return game
    return session(SCENARIOS[sys.argv[1]], start=start)


if __name__ == "__main__":
    sys.exit(main())
