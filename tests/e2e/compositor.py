#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The game natively on Wayland: compositor.py NAME COMPOSITOR runs one scenario with the installed
game under mutter, weston or kwin nested in a private Xvfb, and exits 0 (passed), 1 (failed) or 77
(the compositor is missing). QUILLET_E2E_PREFIX names the installation prefix.

The compositor's output is an X window: input goes to it through the X server and the game is seen
in screenshots of it. Wayland gives no window of the game to the X tools, so the game's windows are
found in its own protocol log (WAYLAND_DEBUG on its output: each toplevel's title, parent and app
id, its menus, which surface has the keyboard) and on the screen (the green of its background; a box
as what changed when it opened). The compositor's own log gives its pings and the game's answers."""

import collections
import os
import re
import shutil
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import rules  # noqa: E402
import waits  # noqa: E402
from desktop import GREEN, Failure, Game, end, log, session, spawn  # noqa: E402
from scenarios import box_over_game, expect, human_choice, wait_reply  # noqa: E402
from waits import START_DEADLINE  # noqa: E402

SKIP = 77
COMPOSITORS = ("mutter", "weston", "kwin")
SOCKET = "quillet-e2e"  # in a runtime folder of the test's own
INSIDE = "inside"  # a box drawn inside the game's window, as a window of the game's
# A desktop calls a window that leaves a ping unanswered this long "not responding".
PING_DEADLINE = 5.0
# What a program that places its window writes where a Wayland compositor places it.
PLACEMENT_WORDS = re.compile(r"requestActivate|position|placement|does not support", re.IGNORECASE)


def missing(kind):
    """What this machine lacks to run a compositor, or None."""
    tool = {"mutter": "mutter", "weston": "weston", "kwin": "kwin_wayland"}[kind]
    if not shutil.which(tool):
        return tool
    if kind != "weston" and not shutil.which("dbus-run-session"):
        return "dbus-run-session"
    return None


class Compositor:
    """A Wayland compositor nested in a Display, with a runtime folder, settings and session bus of
    its own, its protocol log (the server's side) in a file."""

    def __init__(self, display, kind, width=760, height=600):
        """The output is narrower than the display: the pointer can leave it and come back."""
        self.display, self.kind, self.width = display, kind, width
        self.runtime = os.path.join(display.runtime, "wayland")
        os.makedirs(self.runtime, mode=0o700, exist_ok=True)
        os.chmod(self.runtime, 0o700)
        config = os.path.join(display.runtime, "config")
        os.makedirs(config, exist_ok=True)
        self.log_path = os.path.join(display.runtime, "compositor.log")
        env = dict(display.env, XDG_RUNTIME_DIR=self.runtime, XDG_CONFIG_HOME=config,
                   # "server": the clients it starts itself (weston's panel) keep quiet.
                   WAYLAND_DEBUG="server", MUTTER_DEBUG_DUMMY_MODE_SPECS=f"{width}x{height}")
        if kind == "mutter":
            # mutter asserts a session bus; it gets one of its own, ended with it.
            argv = ["dbus-run-session", "--", "mutter", "--wayland", "--nested", "--no-x11",
                    "--wayland-display", SOCKET]
        elif kind == "weston":
            argv = ["weston", "--backend=x11-backend.so", f"--socket={SOCKET}", f"--width={width}",
                    f"--height={height}", "--idle-time=0", "--no-config"]
        else:
            # A copy: the installed program carries a file capability that a container cannot grant.
            kwin = os.path.join(display.runtime, "kwin_wayland")
            shutil.copy(shutil.which("kwin_wayland"), kwin)
            argv = ["dbus-run-session", "--", kwin, "--x11-display", display.name, "--socket", SOCKET,
                    "--width", str(width), "--height", str(height), "--no-lockscreen"]
        self.log_file = open(self.log_path, "wb")
        self.proc = spawn(argv, env=env, stdout=self.log_file, stderr=subprocess.STDOUT)

        def ready():
            if self.proc.poll() is not None:
                raise Failure(f"{kind} ended with status {self.proc.returncode}: {self.tail()}")
            # mutter may show its output at 640x480 first, then at the size it was given.
            children = display.run(["xwininfo", "-root", "-children"], check=False).stdout.decode()
            return os.path.exists(os.path.join(self.runtime, SOCKET)) and f"{width}x{height}+0+0" in children
        waits.until(f"{kind} to take Wayland clients on a {width}x{height} output at the corner", ready,
                    START_DEADLINE)

    def tail(self, lines=5):
        with open(self.log_path, "rb") as f:
            text = f.read().decode(errors="replace")
        return " | ".join([line for line in text.splitlines() if not line.startswith("[")][-lines:])

    def pings(self):
        """Every ping sent and how long its answer took (None: not yet answered), from the
        compositor's protocol log: [(serial, seconds)], and how long the log runs."""
        return ping_waits(self.log_path)

    def stop(self):
        end(self.proc)
        if not self.log_file.closed:
            self.log_file.close()


# ---- the protocol logs ----------------------------------------------------------------------------

# "[ 1234.567]  -> xdg_toplevel@28.set_title("Quillet")"; newer libwayland adds "{queue}" and may
# write object#id.
LINE = re.compile(r"^\[\s*(\d+)\.(\d+)\]\s+(?:\{[^}]*\}\s+)?(->\s+)?(\w+)[@#](\d+)\.(\w+)\((.*)\)\s*$")
NEW_ID = re.compile(r"new id (?:\w+|\[unknown\])[@#](\d+)")
OBJECT = re.compile(r"\w+[@#](\d+)")


def parse(line):
    """A protocol line as (microseconds, sent, interface, object, message, arguments), or None."""
    m = LINE.match(line)
    if not m:
        return None
    stamp = int(m.group(1)) * 1000 + int(m.group(2))
    return stamp, bool(m.group(3)), m.group(4), int(m.group(5)), m.group(6), m.group(7)


def ping_waits(path):
    sent, answered, first, last = {}, {}, None, None
    with open(path, "rb") as f:
        for raw in f:
            p = parse(raw.decode(errors="replace"))
            if not p:
                continue
            stamp, _, interface, _, message, args = p
            first = stamp if first is None else first
            last = stamp
            if interface == "xdg_wm_base" and message == "ping":
                sent[args] = stamp
            elif interface == "xdg_wm_base" and message == "pong" and args in sent:
                answered[args] = stamp
    # The stamps are microseconds in 32 bits: they wrap every 71 minutes.
    span = lambda a, b: ((b - a) % (1 << 32)) / 1e6  # noqa: E731
    result = [(serial, span(t, answered[serial]) if serial in answered else None) for serial, t in sent.items()]
    overdue = [(serial, span(sent[serial], last)) for serial, wait in result if wait is None]
    return result, overdue, span(first, last) if first is not None else 0.0


class ProtocolLog:
    """The game's side of the protocol, read as it grows: its toplevels (title, parent, app id),
    its menus (xdg popups) and the surface the keyboard is on."""

    def __init__(self, path):
        self.path, self.offset, self.partial = path, 0, b""
        self.xdg_surfaces = {}  # xdg_surface -> wl_surface
        self.toplevels = {}  # xdg_toplevel -> {"surface", "title", "parent", "app_id"}
        self.popups = []  # live xdg_popup ids, oldest first
        self.popups_made = 0
        self.keyboard = None  # the wl_surface with the keyboard
        self.pointer_events = 0  # enter, leave, motion
        self.app_ids = []
        self.lines = 0
        self.sent = collections.Counter()  # "interface.request" -> how often the game sent it

    def read(self):
        with open(self.path, "rb") as f:
            f.seek(self.offset)
            data = f.read()
        self.offset += len(data)
        data = self.partial + data
        lines = data.split(b"\n")
        self.partial = lines.pop()
        for raw in lines:
            p = parse(raw.decode(errors="replace"))
            if p:
                self.lines += 1
                self.take(*p[1:])
        return self

    def take(self, sent, interface, obj, message, args):
        if sent:
            self.sent[f"{interface}.{message}"] += 1
        if interface == "xdg_wm_base" and message == "get_xdg_surface":
            ids = [int(i) for i in OBJECT.findall(args)]
            self.xdg_surfaces[ids[0]] = ids[1]
        elif interface == "xdg_surface" and message == "get_toplevel":
            self.toplevels[int(NEW_ID.search(args).group(1))] = {
                "surface": self.xdg_surfaces.get(obj), "title": None, "parent": None, "app_id": None}
        elif interface == "xdg_surface" and message == "get_popup":
            self.popups.append(int(NEW_ID.search(args).group(1)))
            self.popups_made += 1
        elif interface == "xdg_popup" and message == "destroy" and obj in self.popups:
            self.popups.remove(obj)
        elif interface == "xdg_toplevel" and obj in self.toplevels:
            top = self.toplevels[obj]
            if message == "destroy":
                del self.toplevels[obj]
            elif message == "set_title":
                top["title"] = args.strip('"')
            elif message == "set_app_id":
                top["app_id"] = args.strip('"')
                self.app_ids.append(top["app_id"])
            elif message == "set_parent":
                m = OBJECT.search(args)
                top["parent"] = int(m.group(1)) if m else None
        elif interface == "wl_pointer" and message in ("enter", "leave", "motion"):
            self.pointer_events += 1
        elif interface == "wl_keyboard" and message == "enter":
            m = OBJECT.search(args)  # nil: a surface already gone
            self.keyboard = int(m.group(1)) if m else None
        elif interface == "wl_keyboard" and message == "leave":
            self.keyboard = None

    def main(self):
        """The game's main toplevel (titled Quillet, no parent), or None."""
        for top, info in self.toplevels.items():
            if info["title"] == "Quillet" and info["parent"] is None:
                return top
        return None


# ---- the game on the screen --------------------------------------------------------------------

def changed_region(before, after, cell=8):
    """The box of the largest patch of pixels that differ plainly between two screenshots:
    (x, y, w, h), or None. Every other pixel of every other row is looked at. Pixels changing
    elsewhere (the game's title greyed as it loses the focus, mutter's dithered background) make
    patches of their own, far smaller than a window, or no change at all."""
    row_bytes = before.width * 3
    cells = {}
    for y in range(0, min(before.height, after.height), 2):
        a = before.pixels[y * row_bytes:(y + 1) * row_bytes]
        b = after.pixels[y * row_bytes:(y + 1) * row_bytes]
        if a == b:
            continue
        for i in range(0, row_bytes, 6):
            if abs(a[i] - b[i]) + abs(a[i + 1] - b[i + 1]) + abs(a[i + 2] - b[i + 2]) > 48:
                x = i // 3
                c = cells.setdefault((x // cell, y // cell), [0, x, y, x, y])
                c[0] += 1
                c[1], c[2], c[3], c[4] = min(c[1], x), min(c[2], y), max(c[3], x + 1), max(c[4], y + 1)
    best, seen = None, set()
    for start in cells:
        if start in seen:
            continue
        seen.add(start)
        stack, patch = [start], [0, 1 << 30, 1 << 30, -1, -1]
        while stack:
            cx, cy = stack.pop()
            c = cells[(cx, cy)]
            patch = [patch[0] + c[0], min(patch[1], c[1]), min(patch[2], c[2]), max(patch[3], c[3]), max(patch[4], c[4])]
            for nx in (cx - 1, cx, cx + 1):
                for ny in (cy - 1, cy, cy + 1):
                    if (nx, ny) in cells and (nx, ny) not in seen:
                        seen.add((nx, ny))
                        stack.append((nx, ny))
        if best is None or patch[0] > best[0]:
            best = patch
    if best is None:
        return None
    return best[1], best[2], best[3] - best[1] + 1, best[4] - best[2] + 1


class WaylandGame(Game):
    """The installed game as a Wayland desktop starts it: no X display, the compositor's socket,
    the platform left to Qt (the session says it is Wayland)."""

    def __init__(self, display, prefix, compositor, env=None):
        self.compositor = compositor
        self.rects = {}  # window -> its box on the screen, as measured
        self.looks = {}  # window -> its box and its pixels there, while it is up
        self.reference = None  # a screenshot from before a box opened
        self.pointer = None
        display.click = self.click  # every click of the scenarios, as the game can take it
        wayland = {"WAYLAND_DISPLAY": SOCKET, "XDG_RUNTIME_DIR": compositor.runtime,
                   "XDG_SESSION_TYPE": "wayland", "WAYLAND_DEBUG": "1"}
        super().__init__(display, prefix, dict(wayland, **(env or {})),
                         wrapper=["env", "-u", "DISPLAY", "-u", "QT_QPA_PLATFORM"])

    def find_main(self):
        self.protocol = ProtocolLog(self.log_path)

        def shown():
            if self.proc.poll() is not None:
                raise Failure(f"the game ended with status {self.proc.returncode}: {self.messages()[-3:]}")
            return self.protocol.read().main()
        self.main = waits.until("the game's window in its protocol log", shown, START_DEADLINE, 0.02)
        self.mapped = time.monotonic()
        self.pid = self.proc.pid

    def messages(self):
        """What the game wrote besides its protocol log."""
        return [line for line in super().output().splitlines() if line.strip() and not LINE.match(line)]

    def output(self):
        # A failure shows what the game said and the end of its protocol log, not all of it.
        lines = super().output().splitlines()
        return "\n".join(self.messages() + ["(the protocol log's end:)"] + lines[-30:])

    def locate(self):
        """The game's window found by the green of its background; the menu bar above it."""
        def painted():
            shot = self.display.screenshot()
            hits = [(x, y) for y in range(0, shot.height, 8) for x in range(0, shot.width, 8)
                    if shot.get(x, y) == GREEN]
            return hits and (shot, hits)
        shot, hits = waits.until("the first painted frame", painted, START_DEADLINE)
        self.first_paint = time.monotonic()
        # The bottom rows of the window are green from edge to edge.
        y = max(y for _, y in hits)
        x = min(x for x, yy in hits if yy == y)
        left = right = x
        while left > 0 and shot.get(left - 1, y) == GREEN:
            left -= 1
        while right + 1 < shot.width and shot.get(right + 1, y) == GREEN:
            right += 1
        top = bottom = y
        while top > 0 and shot.get(left + 8, top - 1) == GREEN:
            top -= 1
        while bottom + 1 < shot.height and shot.get(left + 8, bottom + 1) == GREEN:
            bottom += 1
        # The menu bar: the band of caption text just above the green, as far above its captions
        # as the green is below them.
        def ink(row):
            return any(sum(shot.get(xx, row)) < 300 for xx in range(left + 2, (left + right) // 2))
        row = top - 1
        while row > 0 and not ink(row):
            row -= 1
        text_bottom = row
        while row > 0 and ink(row - 1):
            row -= 1
        bar_top = max(row - (top - 1 - text_bottom), 0)
        self.rect = (left, bar_top, right - left + 1, bottom - bar_top + 1)
        self.origin = (left, top)
        self.menu_y = (bar_top + top) // 2
        self.titles = self.menu_titles(shot)
        if len(self.titles) != 6:
            raise Failure(f"expected 6 menu bar titles, found {len(self.titles)}: {self.titles}")
        # The pointer rests on the green beside the board, where a click does nothing.
        self.display.xdotool("mousemove", "--sync", left + 10, top + 300)
        self.pointer = (left + 10, top + 300)

    def click(self, x, y, button=1):
        """Clicks once the game has seen the pointer's move: Qt takes a button that comes with a
        move in one frame at the place before the move."""
        if self.pointer != (x, y):
            seen = self.protocol.read().pointer_events
            nudge = [0]

            def moved():
                # A nested compositor may miss a warp of the pointer (mutter takes none until a
                # relative move; weston none until the pointer has entered its window): the pointer
                # leaves the output, comes back and is nudged until the game has a move.
                if self.protocol.read().pointer_events > seen:
                    return True
                if nudge[0]:
                    self.display.xdotool("mousemove", "--sync", self.compositor.width + 20, y)
                self.display.xdotool("mousemove", "--sync", x, y)
                self.display.xdotool("mousemove_relative", "--sync", "--", 1 - 2 * (nudge[0] % 2), 0)
                nudge[0] += 1
                return False
            waits.until("the pointer's move to reach the game", moved, interval=0.1)
            self.pointer = (x, y)
        self.display.xdotool("click", button)

    def geometry(self, window):
        if window == self.main:
            return self.rect
        return self.rects.get(window, self.rect)

    # ---- windows, from the protocol log --------------------------------------------------------

    def windows(self):
        p = self.protocol.read()
        return [f"popup{i}" for i in p.popups] + [w for w, _ in self.dialogs()]

    def dialogs(self):
        """The boxes up: toplevels of their own, titled, and a box drawn inside the game's window,
        whose title is in its pixels alone (None)."""
        p = self.protocol.read()
        boxes = [(top, info["title"]) for top, info in p.toplevels.items()
                 if info["parent"] is not None and info["title"] is not None]
        if not p.popups and self.box_inside():
            boxes.append((INSIDE, None))
        return boxes

    def box_inside(self, shot=None):
        """Whether a box stands inside the game's window: the band of its title row, in the
        highlight's blue, which nothing else inside the window has (a menu's is a popup)."""
        shot = shot or self.display.screenshot()
        left, top, width, height = self.rect
        for y in range(top, min(top + height, shot.height), 2):
            run = 0
            for x in range(left, min(left + width, shot.width), 2):
                r, g, b = shot.get(x, y)
                run = run + 1 if b > 150 and r < 110 and 90 < g < 200 else 0
                if run >= 40:
                    return True
        return False

    def keyboard_on(self, window):
        window = self.main if window == INSIDE else window
        return lambda: self.protocol.read().keyboard == self.protocol.toplevels.get(window, {}).get("surface", -1)

    def answer(self, title, key="Return", timeout=waits.DEADLINE, closed=True):
        window = waits.box(self, title, timeout)
        waits.until(f"the keyboard on the box {title!r}", self.keyboard_on(window), timeout)
        self.display.xdotool("key", "--clearmodifiers", key)
        if closed and window == INSIDE:
            waits.gone(f"the message box {title!r} to close", self.box_inside)
        elif closed:
            waits.gone(f"the message box {title!r} to close", lambda: window in self.protocol.read().toplevels)
            if window in self.looks:
                # Gone from the screen too, so that the next box is told from this one.
                rect, look = self.looks.pop(window)
                waits.until(f"the box {title!r} gone from the screen",
                            lambda: waits.region(self.display.screenshot(), rect) != look)
        return window

    def focus_main(self):
        waits.until("the keyboard on the game's window", self.keyboard_on(self.main))

    def choose(self, *path):
        """Menu commands chosen with the keys once the menu is up: a menu opened by a click has no
        row chosen; Right opens a submenu at its first row."""
        made = self.protocol.read().popups_made
        self.click_title(path[0])
        if len(path) == 1:
            return
        waits.until(f"the menu {path[0]}", lambda: self.protocol.read().popups_made > made)
        keys = ["Down"] * (path[1] + 1)
        if len(path) == 3:
            self.display.xdotool("key", *keys, "Right")
            waits.until("its submenu", lambda: self.protocol.read().popups_made > made + 1)
            keys = ["Down"] * path[2]
        self.display.xdotool("key", *keys, "Return")

    def box_rect(self, window):
        """The box's place on the screen, once it stands still: what changed since the reference
        screenshot."""
        def look():
            return changed_region(self.reference, self.display.screenshot())
        rect = waits.steady("the box drawn and standing still", look, lambda r: r is not None, quiet=0.3)
        self.rects[window] = rect
        self.looks[window] = rect, waits.region(self.display.screenshot(), rect)
        return rect

    def close_button(self):
        """The centre of the close button of the window's title bar: the rightmost mark drawn in
        the strip above the menu bar, whoever draws the decoration."""
        shot = self.display.screenshot()
        left, top, width, _ = self.rect
        # The title bar: the light rows above the menu bar at the window's right edge.
        bar = top
        while bar > 0 and top - bar < 60 and sum(shot.get(left + width - 3, bar - 1)) > 550:
            bar -= 1
        marks = [(x, y) for y in range(bar, top) for x in range(left + width - 70, left + width - 2)
                 if shot.inside(x, y) and sum(shot.get(x, y)) < 300]
        if not marks:
            raise Failure("no title bar buttons above the game's menu bar")
        right = max(x for x, _ in marks)
        mark = [(x, y) for x, y in marks if x > right - 14]
        return (min(x for x, _ in mark) + right) // 2, (min(y for _, y in mark) + max(y for _, y in mark)) // 2


# ---- checks -----------------------------------------------------------------------------------

def check_protocol(game):
    """The game chose Wayland (its window in its protocol log), its app id is quillet, it never
    asked to be maximised, and it wrote nothing about its window's place."""
    p = game.protocol.read()
    expect(p.lines > 0 and game.main is not None, "no Wayland protocol in the game's log")
    app_id = p.toplevels[game.main]["app_id"]
    expect(app_id == "quillet", f"the game's app id is {app_id!r}")
    expect(not p.sent["xdg_toplevel.set_maximized"], "the game asked to be maximised")
    said = [line for line in game.messages() if PLACEMENT_WORDS.search(line)]
    expect(not said, f"the game wrote about its window's place: {said[:3]}")


def check_pings(game, what):
    pings, overdue, span = game.compositor.pings()
    answered = [w for _, w in pings if w is not None]
    longest = max(answered + [w for _, w in overdue], default=0.0)
    log(f"{what}: {len(pings)} pings from {game.compositor.kind} over {span:.0f} s, "
        f"the longest answered after {longest:.3f} s, {len(overdue)} unanswered")
    expect(pings, f"{game.compositor.kind} sent no ping")
    expect(longest < PING_DEADLINE, f"a ping waited {longest:.1f} s for its answer")


def check_title_bar(game):
    """KWin frames the window; mutter and weston leave it to the game, whose title bar moves the
    window when pressed and maximises nothing: neither where Qt's own bar has its maximise button
    nor when double-clicked (checked at the end, with check_protocol)."""
    p = game.protocol.read()
    if game.compositor.kind == "kwin":
        expect(p.sent["zxdg_decoration_manager_v1.get_toplevel_decoration"], "the game did not leave its frame to KWin")
        return
    x, y = game.close_button()
    moves = p.sent["xdg_toplevel.move"]
    game.display.click(x - 27, y)
    game.display.click(x - 150, y)
    game.display.xdotool("click", "1")
    waits.until("the title bar to ask for a move", lambda: game.protocol.read().sent["xdg_toplevel.move"] > moves)


# ---- scenarios --------------------------------------------------------------------------------

def plays(game):
    """One start checks it all: Wayland chosen with its app id, nothing said about its place; the
    title bar; the refusal at the start (戻) and the about box over the game; four moves against the
    computer with every ping of the compositor answered in time; then the program ends with status
    0, by Escape under KWin and by the title bar's close button under the others."""
    board = game.wait_board(rules.start_position(), "the start position")
    check_protocol(game)
    check_title_bar(game)
    box_over_game(game, lambda: game.choose("戻"), "戻る")
    box_over_game(game, lambda: game.choose("その他"), "Quillet")
    game.focus_main()
    game.wait_board(board, "the start position after the boxes")
    game.choose("対局", 1, 0)  # 対COM > 先手
    for _ in range(4):
        square = human_choice(board, rules.FIRST)
        board = rules.play(board, square, rules.FIRST)
        game.display.click(*game.square_centre(square))
        game.wait_board(board, f"{rules.name(square)} played")
        board = wait_reply(game, [rules.play(board, sq, rules.SECOND)
                                  for sq in rules.legal_moves(board, rules.SECOND)])
        game.no_dialog()
    check_pings(game, "four moves against the computer")
    game.focus_main()
    if game.compositor.kind == "kwin":
        game.display.xdotool("key", "Escape")
    else:
        button = game.close_button()
        log(f"the close button at {button}")
        game.display.click(*button)
    expect(game.wait_exit() == 0, "the program did not end cleanly")
    check_protocol(game)


SCENARIOS = {f.__name__: f for f in [plays]}


def starter(kind):
    """session()'s start for a game under the compositor `kind`."""
    def start(display, prefix, cleanups):
        compositor = Compositor(display, kind)
        cleanups.append(compositor.stop)
        return WaylandGame(display, prefix, compositor)
    return start


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in SCENARIOS or sys.argv[2] not in COMPOSITORS:
        print("usage: compositor.py " + "|".join(SCENARIOS) + " " + "|".join(COMPOSITORS), file=sys.stderr)
        return 2
    lacking = missing(sys.argv[2])
    if lacking:
        log(f"{lacking} is missing (scripts/setup.sh installs it)")
        return SKIP
    return session(SCENARIOS[sys.argv[1]], start=starter(sys.argv[2]))


if __name__ == "__main__":
    sys.exit(main())
