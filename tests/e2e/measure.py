#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Measures the installed game under Xvfb (run through scripts/measure.sh):
  - start-up: from starting the process to the first painted frame on the screen;
  - a whole game against the computer: CPU time / wall time and peak resident memory
    (/usr/bin/time -v around the game);
  - the 0.1 s waits: every sleep the game makes during a two-player game, traced with strace,
    requested against slept time.
  - where the boxes stand (measure.py boxes KIND [STARTS]): under a Wayland compositor (mutter,
    weston, kwin) or an X window manager (openbox, xfwm4), each start opens the refusal at the
    start (戻) and the about box, and gives the game's and each box's place and their centres'
    offset. It needs only python3, the compositor or manager and the installed game.
QUILLET_E2E_PREFIX names the installation prefix."""

import os
import re
import statistics
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import rules  # noqa: E402
import scenarios  # noqa: E402
from desktop import Display, Game  # noqa: E402
from ping import Pinger  # noqa: E402


def startup(prefix, runs):
    times = []
    for _ in range(runs):
        display = Display()
        try:
            game = Game(display, prefix)
            times.append(game.first_paint - game.started)
            game.choose("対局", 2)  # 終了
            game.wait_exit()
            game.stop()
        finally:
            display.close()
    return times


def whole_game(prefix):
    report = tempfile.NamedTemporaryFile(prefix="quillet-time-", suffix=".txt", delete=False)
    report.close()
    display = Display()
    try:
        game = Game(display, prefix, wrapper=["/usr/bin/time", "-v", "-o", report.name])
        game.wait_board(rules.start_position(), "the start position")
        pinger = Pinger(display.name, game.main)
        game.choose("対局", 1, 0)  # 先手
        board, moves = scenarios.play_against_computer(game, rules.FIRST, rules.start_position())
        pings = pinger.stop()
        game.answer("対局")
        game.answer(scenarios.winner_title(board, rules.FIRST))
        game.answer("対局", key="Escape")  # No: the program ends
        game.wait_exit()
        game.stop()
    finally:
        display.close()
    with open(report.name, encoding="utf-8") as f:
        text = f.read()
    os.unlink(report.name)

    def field(name):
        return re.search(re.escape(name) + r":\s*(.+)", text).group(1).strip()
    user, system = float(field("User time (seconds)")), float(field("System time (seconds)"))
    wall_text = field("Elapsed (wall clock) time (h:mm:ss or m:ss)")
    wall = 0.0
    for part in wall_text.split(":"):
        wall = wall * 60 + float(part)
    return moves, user, system, wall, int(field("Maximum resident set size (kbytes)")), pings


SLEEP = re.compile(r"clock_nanosleep\((?:CLOCK_\w+), 0, \{tv_sec=(\d+), tv_nsec=(\d+)\}.*<([\d.]+)>")


def sleeps(prefix):
    trace = tempfile.NamedTemporaryFile(prefix="quillet-strace-", suffix=".txt", delete=False)
    trace.close()
    display = Display()
    try:
        game = Game(display, prefix, wrapper=["strace", "-f", "-T", "-e", "trace=clock_nanosleep,nanosleep",
                                              "-o", trace.name])
        game.wait_board(rules.start_position(), "the start position")
        scenarios.start_two_players(game)
        board, _ = scenarios.play_two_players(game, rules.start_position(), scenarios.WIPEOUT)
        game.answer("対局")
        game.answer("先手の勝ち！！")
        game.answer("対局", key="Escape")
        game.wait_exit()
        game.stop()
    finally:
        display.close()
    requested, overshoot = [], []
    with open(trace.name, encoding="utf-8") as f:
        for line in f:
            m = SLEEP.search(line)
            if m:
                want = int(m.group(1)) + int(m.group(2)) / 1e9
                got = float(m.group(3))
                # The game's own waits are the long ones; libraries nap for a few milliseconds.
                if want >= 0.02:
                    requested.append(want)
                    overshoot.append(got - want)
    os.unlink(trace.name)
    return requested, overshoot


def boxes(prefix, kind, starts):
    """A table of the boxes' places over `starts` starts; True if every box stood over the game."""
    import compositor
    import window_manager
    rows = []
    for start in range(starts):
        display = Display()
        cleanups = []
        try:
            if kind in compositor.COMPOSITORS:
                manager = compositor.Compositor(display, kind)
                cleanups.append(manager.stop)
                game = compositor.WaylandGame(display, prefix, manager)
            else:
                window_manager.WHERE_PUT = window_manager.where_put(kind)
                manager = window_manager.WindowManager(display, kind=kind)
                cleanups.append(manager.stop)
                game = window_manager.ManagedGame(display, prefix)
            cleanups.append(game.stop)
            game.wait_board(rules.start_position(), "the start position")
            for caption, title in (("戻", "戻る"), ("その他", "Quillet")):
                main, box, (across, down) = scenarios.box_over_game(
                    game, lambda: game.choose(caption), title, check=False)
                rows.append((start + 1, title, main, box, across, down,
                             abs(across) <= 50 and abs(down) <= main[3] / 2))
        finally:
            for cleanup in reversed(cleanups):
                cleanup()
            display.close()
    print(f"\n{kind}: {starts} starts; game = its client area (menu bar and board), box = the box with its "
          f"title bar; offset = box centre - game centre, px")
    print("start | box | game x,y,w,h | box x,y,w,h | across | down | over the game")
    for start, title, main, box, across, down, over in rows:
        print(f"{start} | {title} | {','.join(map(str, main))} | {','.join(map(str, box))} | {across:+.0f} | "
              f"{down:+.0f} | {'yes' if over else 'NO'}")
    worst = max(rows, key=lambda r: abs(r[4]))
    print(f"{kind}: {sum(r[6] for r in rows)} of {len(rows)} boxes over the game; largest offset across "
          f"{worst[4]:+.0f} px", flush=True)
    return all(r[6] for r in rows)


def main():
    prefix = os.environ["QUILLET_E2E_PREFIX"]
    if sys.argv[1:2] == ["boxes"]:
        return 0 if boxes(prefix, sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 10) else 1
    what = sys.argv[1:] or ["startup", "game", "sleeps"]
    if "startup" in what:
        t = startup(prefix, 5)
        print(f"start-up to the first painted frame: median {statistics.median(t) * 1000:.0f} ms "
              f"(min {min(t) * 1000:.0f}, max {max(t) * 1000:.0f}; 5 runs; screenshot polling adds up to ~60 ms)",
              flush=True)
    if "sleeps" in what:
        req, over = sleeps(prefix)
        over_ms = sorted(o * 1000 for o in over)
        print(f"waits of >= 20 ms during a two-player game: {len(req)} sleeps; overshoot past the requested "
              f"time median {statistics.median(over_ms):.2f} ms, 99th percentile "
              f"{over_ms[int(len(over_ms) * 0.99) - 1]:.2f} ms, max {over_ms[-1]:.2f} ms", flush=True)
    if "game" in what:
        started = time.monotonic()
        moves, user, system, wall, rss, (longest, count, at) = whole_game(prefix)
        print(f"whole game against the computer (先手, {moves} moves, {time.monotonic() - started:.0f} s): "
              f"CPU {user:.2f} s user + {system:.2f} s system over {wall:.1f} s wall = "
              f"{100 * (user + system) / wall:.2f} % of one core; peak resident memory {rss / 1024:.1f} MiB; "
              f"window manager's ping every 0.2 s: {count} pings, the longest answered after {longest * 1000:.0f} ms",
              flush=True)


if __name__ == "__main__":
    sys.exit(main())
