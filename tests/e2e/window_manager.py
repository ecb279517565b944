#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The game under a real window manager (openbox in a private Xvfb display), where message boxes
get a title bar: window_manager.py NAME runs one scenario and exits 0 when it passed, 1 when it
failed, 77 when it cannot run here. QUILLET_E2E_PREFIX names the installation prefix; pictures of
what was checked go to e2e-shots/ in the working directory."""

import os
import shutil
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import rules  # noqa: E402
from desktop import Failure, Game, log, poll, session  # noqa: E402
from scenarios import WIPEOUT, expect, play_two_players, start_two_players  # noqa: E402

SKIP = 77


class WindowManager:
    """openbox with its packaged settings (not the developer's own), on a Display."""

    def __init__(self, display):
        self.display = display
        config = os.path.join(display.runtime, "config")
        os.makedirs(config)
        env = dict(display.env, XDG_CONFIG_HOME=config)
        argv = ["openbox"]
        if os.path.exists("/etc/xdg/openbox/rc.xml"):
            argv += ["--config-file", "/etc/xdg/openbox/rc.xml"]
        self.proc = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # A window manager announces itself on the root window.
        poll("openbox to take the screen",
             lambda: b"window id" in display.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False).stdout,
             20)

    def stop(self):
        self.proc.terminate()
        try:
            self.proc.wait(5)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()


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
        seen = {}

        def settled():
            now = self.geometry(self.main)
            stable = seen.get("last") == now and time.monotonic() - seen["since"] > 0.6
            if seen.get("last") != now:
                seen.update(last=now, since=time.monotonic())
            return stable
        poll("the window to settle in its frame", settled, 20, 0.1)
        super().locate()


# ---- the title bar ---------------------------------------------------------------------------------

def frame_box(game, window):
    """The window's outer box on the screen, title bar and borders included: (x, y, w, h), and
    the height of the decoration above the client."""
    x, y, w, h = game.geometry(window)
    out = game.display.run(["xprop", "-id", str(window), "_NET_FRAME_EXTENTS"]).stdout.decode()
    if "=" not in out:
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

    def changed_from(old):
        # Changed, and drawn to the end: the same in two looks a moment apart.
        def drawn():
            first = bar()
            time.sleep(0.1)
            return first if first != old and bar() == first else None
        return drawn
    with_title = before
    if original != title:
        set_title(game.display, window, title)
        with_title = poll("the title drawn", changed_from(before), 5)
    set_title(game.display, window, " ")
    without = poll("the title blanked", changed_from(with_title), 5)
    set_title(game.display, window, original)
    poll("the title restored", lambda: bar() == before, 5)
    columns = [x for x in range(min(len(with_title[0]), len(without[0])))
               if any(a[x] != b[x] for a, b in zip(with_title, without))]
    if not columns:
        raise Failure(f"no ink of the title {title!r} in window {window}'s title bar")
    return columns[0] + skipped, columns[-1] + skipped


# ---- scenarios -------------------------------------------------------------------------------------

def result_title_in_full(game):
    """A game between two people to its end; the result box, whose title alone names the winner,
    shows the whole title in its title bar."""
    start = game.wait_board(rules.start_position(), 10, "the start position")
    start_two_players(game)
    board, _ = play_two_players(game, start, WIPEOUT)
    game.answer("対局")  # 終了しました
    title = "先手の勝ち！！"
    window, shown = game.wait_dialog(30)
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
    expect(game.wait_exit(10) == 0, "the game did not exit cleanly after declining to go on")


SCENARIOS = {f.__name__: f for f in [result_title_in_full]}


def main():
    if len(sys.argv) != 2 or sys.argv[1] not in SCENARIOS:
        print("usage: window_manager.py " + "|".join(SCENARIOS), file=sys.stderr)
        return 2
    if not shutil.which("openbox") or not shutil.which("xprop"):
        log("openbox or xprop is missing (scripts/setup.sh installs them)")
        return SKIP

    def start(display, prefix, cleanups):
        manager = WindowManager(display)
        cleanups.append(manager.stop)
        return ManagedGame(display, prefix)
    return session(SCENARIOS[sys.argv[1]], start=start)


if __name__ == "__main__":
    sys.exit(main())
