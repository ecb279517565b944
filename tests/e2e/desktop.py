# SPDX-License-Identifier: GPL-3.0-or-later
"""Drives the installed game in a private Xvfb display with xdotool and reads its state back
from screenshots.

Nothing here looks inside the program: the game is started the way a desktop starts it (from
the installed desktop entry's Exec= in its Path=), input goes through the X server (XTEST), and
everything checked is read from the screen's pixels or the windows' titles.
"""

import atexit
import ctypes
import os
import select
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time

import rules
import waits
from waits import DEADLINE, START_DEADLINE, Failure

GREEN = (0, 128, 0)  # the window's background, palette colour 2

# What a desktop session may set that would reach the game or the X tools: another display,
# Qt's scaling, style, platform theme and font DPI, the desktop's name and session bus (through
# which Qt loads that desktop's theme, with its fonts, style and colours), and where fontconfig
# looks.
DESKTOP_VARIABLES = {
    "DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY",
    "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_ENABLE_HIGHDPI_SCALING",
    "QT_SCALE_FACTOR_ROUNDING_POLICY", "QT_USE_PHYSICAL_DPI", "QT_DEVICE_PIXEL_RATIO", "QT_FONT_DPI",
    "QT_STYLE_OVERRIDE", "QT_QPA_PLATFORMTHEME", "QT_QPA_FONTDIR", "QT_IM_MODULE",
    "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "KDE_SESSION_VERSION",
    "GNOME_DESKTOP_SESSION_ID", "DBUS_SESSION_BUS_ADDRESS", "QT_ACCESSIBILITY", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON",
    "FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT",
    "XDG_SESSION_TYPE", "WAYLAND_DEBUG", "WAYLAND_SOCKET",
}


def log(*args):
    print(*args, flush=True)


# ---- nothing started here outlives the scenario --------------------------------------------------
# Every process a scenario starts (the X server, a window manager, the game and whatever runs it)
# is started through spawn(), in a process group of its own, and ended with that whole group when
# the scenario ends: normally (its own stop), on an exception, on SIGTERM, SIGINT or SIGHUP (ctest's
# timeout, a developer's Ctrl-C), and at exit. Each also gets SIGKILL from the kernel should this
# script die without a chance to clean up.

_started = []
_PR_SET_PDEATHSIG = 1


def _die_with_parent():
    try:
        ctypes.CDLL(None, use_errno=True).prctl(_PR_SET_PDEATHSIG, signal.SIGKILL, 0, 0, 0)
    except (OSError, AttributeError):
        pass


def spawn(argv, **kwargs):
    """subprocess.Popen in a group of its own, ended by end() or at exit at the latest."""
    proc = subprocess.Popen(argv, start_new_session=True, preexec_fn=_die_with_parent, **kwargs)
    _started.append(proc)
    return proc


def end(proc, grace=5.0):
    """Ends a process started by spawn() and everything in its group (a game run by strace, say):
    SIGTERM, then SIGKILL if it is still there after `grace` seconds."""
    if proc.poll() is None:
        try:
            os.killpg(proc.pid, signal.SIGCONT)  # a group stopped on purpose takes no SIGTERM
            os.killpg(proc.pid, signal.SIGTERM if grace else signal.SIGKILL)
        except (ProcessLookupError, PermissionError):
            pass
        try:
            proc.wait(grace)
        except subprocess.TimeoutExpired:
            pass
    try:
        os.killpg(proc.pid, signal.SIGKILL)  # what the group's leader left behind
    except (ProcessLookupError, PermissionError):
        pass
    if proc.poll() is None:
        proc.wait()
    if proc in _started:
        _started.remove(proc)


def _end_all():
    for proc in reversed(list(_started)):
        end(proc, grace=0)


class Terminated(SystemExit):
    pass


def _terminated(signum, frame):
    # Raised in the main thread, so every finally: runs on the way out; atexit ends the rest.
    signal.signal(signum, signal.SIG_DFL)
    raise Terminated(128 + signum)


atexit.register(_end_all)
for _signal in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
    signal.signal(_signal, _terminated)


class Image:
    """A screenshot as 8-bit RGB."""

    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    def get(self, x, y):
        i = (y * self.width + x) * 3
        return self.pixels[i], self.pixels[i + 1], self.pixels[i + 2]

    def inside(self, x, y):
        return 0 <= x < self.width and 0 <= y < self.height


class Grab(Image):
    """A part of the screen read straight from the X server (32 bits a pixel, blue first), with
    the screen's coordinates: cheap enough to look many times while a frame lasts a tenth of a
    second."""

    def __init__(self, left, top, width, height, data, screen_width, screen_height):
        super().__init__(screen_width, screen_height, data)
        self.left, self.top, self.part_width, self.part_height = left, top, width, height

    def get(self, x, y):
        i = ((y - self.top) * self.part_width + (x - self.left)) * 4
        return self.pixels[i + 2], self.pixels[i + 1], self.pixels[i]


def parse_ppm(data):
    # P6 with a maxval of 255: "P6\n<w> <h>\n255\n" then the pixels.
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    if fields[0] != b"P6" or fields[3] != b"255":
        raise Failure(f"unexpected screenshot format {fields[0]!r} maxval {fields[3]!r}")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:pos + 1 + width * height * 3]
    return Image(width, height, pixels)


class Display:
    """A private Xvfb server; the display number comes from Xvfb itself (-displayfd)."""

    def __init__(self, width=800, height=600):
        for tool in ("Xvfb", "xdotool", "import"):
            if not shutil.which(tool):
                raise Failure(f"{tool} is missing (scripts/setup.sh installs it)")
        read_end, write_end = os.pipe()
        self.server = spawn(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        # Xvfb writes the number and then a line break; the pipe stays open until the server
        # ends, since a write to a closed pipe would stop it.
        self.displayfd = read_end
        number = b""
        deadline = time.monotonic() + DEADLINE
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([read_end], [], [], 1)
            if ready:
                chunk = os.read(read_end, 32)
                if not chunk:
                    break
                number += chunk
        number = number.decode().strip()
        if not number.isdigit():
            end(self.server, grace=0)
            os.close(read_end)
            raise Failure(f"Xvfb did not give its display number within {DEADLINE:.0f} s")
        self.name = ":" + number
        self.runtime = tempfile.mkdtemp(prefix="quillet-e2e-")
        os.chmod(self.runtime, 0o700)
        # Everything started here (the game, xdotool, import) talks to this display alone and sees
        # none of the developer's desktop settings. Nor a session bus: an address of no known
        # transport, so that none is autolaunched to outlive the test (dbus-run-session gives a
        # manager that needs one its own).
        self.env = {k: v for k, v in os.environ.items() if k not in DESKTOP_VARIABLES}
        self.env.update(DISPLAY=self.name, XDG_RUNTIME_DIR=self.runtime, DBUS_SESSION_BUS_ADDRESS="disabled:",
                        QT_QPA_PLATFORM="xcb", SDL_AUDIODRIVER="dummy", LC_ALL="C.UTF-8")
        fonts = os.environ.get("QUILLET_E2E_FONTCONFIG")
        if fonts:
            self.env["FONTCONFIG_FILE"] = fonts
        try:
            waits.until("the X server to take connections",
                        lambda: self.run(["xdotool", "getmouselocation"], check=False).returncode == 0)
        except BaseException:
            self.close()
            raise

    def run(self, argv, check=True, timeout=30):
        result = subprocess.run(argv, env=self.env, capture_output=True, timeout=timeout)
        if check and result.returncode != 0:
            raise Failure(f"{' '.join(argv)} failed: {result.stderr.decode(errors='replace').strip()}")
        return result

    def xdotool(self, *args, check=True):
        return self.run(["xdotool", *map(str, args)], check=check).stdout.decode().rstrip("\n")

    def screenshot(self):
        data = self.run(["import", "-window", "root", "-depth", "8", "ppm:-"]).stdout
        return parse_ppm(data)

    def grab(self, box):
        """The box (x, y, w, h) of the screen as a Grab, through a connection of this display's
        own."""
        if getattr(self, "connection", None) is None:
            try:
                from Xlib import X, display as xdisplay
            except ImportError:  # Debian's python3-xlib, seen from another Python 3
                sys.path.append("/usr/lib/python3/dist-packages")
                from Xlib import X, display as xdisplay
            self.connection, self.zpixmap = xdisplay.Display(self.name), X.ZPixmap
        root = self.connection.screen().root
        screen_width, screen_height = self.connection.screen().width_in_pixels, self.connection.screen().height_in_pixels
        x, y, w, h = box
        x, y = max(x, 0), max(y, 0)
        w, h = min(w, screen_width - x), min(h, screen_height - y)
        image = root.get_image(x, y, w, h, self.zpixmap, 0xFFFFFFFF)
        return Grab(x, y, w, h, image.data, screen_width, screen_height)

    def save_screenshot(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        self.run(["import", "-window", "root", path], check=False)

    def click(self, x, y, button=1):
        self.xdotool("mousemove", "--sync", x, y)
        self.xdotool("click", button)

    def press(self, x, y, button=1):
        self.xdotool("mousemove", "--sync", x, y)
        self.xdotool("mousedown", button)

    def release(self, button=1):
        self.xdotool("mouseup", button)

    def close(self):
        if self.displayfd is None:
            return
        if getattr(self, "connection", None) is not None:
            self.connection.close()
            self.connection = None
        end(self.server)
        os.close(self.displayfd)
        self.displayfd = None
        shutil.rmtree(self.runtime, ignore_errors=True)


def desktop_entry(prefix):
    """The [Desktop Entry] group of the installed desktop entry, as a dict."""
    path = os.path.join(prefix, "share", "applications", "quillet.desktop")
    entry = {}
    group = None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("["):
                group = line
            elif group == "[Desktop Entry]" and "=" in line and not line.startswith("#"):
                key, value = line.split("=", 1)
                entry[key.strip()] = value.strip()
    return entry


class Game:
    """The installed game running on a Display."""

    def __init__(self, display, prefix, env=None, wrapper=(), cwd=None, boxes=()):
        """cwd: start the game there instead of the desktop entry's Path=. boxes: titles of the
        message boxes expected before the main window shows, each answered with Return; the
        times they came up (from the start) are in box_times."""
        self.display = display
        entry = desktop_entry(prefix)
        argv = [a for a in shlex.split(entry["Exec"]) if not a.startswith("%")]
        self.executable = argv[0]
        # A measuring tool may run the game as its child (/usr/bin/time, strace).
        argv = list(wrapper) + argv
        self.cwd = cwd or entry["Path"]
        self.log_path = os.path.join(display.runtime, "game.log")
        self.log_file = open(self.log_path, "wb")
        self.started = time.monotonic()
        # The display's environment: the scenario's own, less the desktop's settings (so whatever
        # marks a test's processes reaches the game), plus the scenario's additions.
        self.proc = spawn(argv, cwd=self.cwd, env=dict(display.env, **(env or {})),
                          stdout=self.log_file, stderr=subprocess.STDOUT)
        try:
            self.box_times = []
            for title in boxes:
                box = waits.window(display, title, START_DEADLINE)
                self.box_times.append(time.monotonic() - self.started)
                display.xdotool("windowfocus", "--sync", box)
                display.xdotool("key", "--clearmodifiers", "Return")
                waits.gone(f"the message box {title!r} to close",
                           lambda: box in waits.named(display, title))
            self.find_main()
            self.locate()
        except BaseException:
            self.stop()  # a game that never got there is not left behind
            raise

    def find_main(self):
        # The display is private, so the one window named Quillet is the game's.
        # Polled often, not with search --sync (which looks twice a second), so that the
        # start-up times measured from here are close to the truth.
        self.main = waits.window(self.display, "Quillet", START_DEADLINE, interval=0.02)
        self.mapped = time.monotonic()
        self.pid = int(self.display.xdotool("getwindowpid", self.main))

    # ---- where things are -------------------------------------------------------------------

    def geometry(self, window):
        values = {}
        for line in self.display.xdotool("getwindowgeometry", "--shell", window).splitlines():
            key, value = line.split("=", 1)
            values[key] = int(value)
        return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]

    def locate(self):
        """Finds the client area (below the menu bar) and the menu bar titles; waits until the
        board has been painted."""
        def painted():
            x, y, w, h = self.geometry(self.main)
            shot = self.display.screenshot()
            column = max(x, 0) + 8
            for row in range(max(y, 0), min(y + h, shot.height)):
                if shot.get(column, row) == GREEN:
                    return x, row, shot
            return None
        left, top, shot = waits.until("the first painted frame", painted, START_DEADLINE)
        self.first_paint = time.monotonic()
        self.origin = (left, top)
        self.menu_y = (max(self.geometry(self.main)[1], 0) + top) // 2
        self.titles = self.menu_titles(shot)
        if len(self.titles) != 6:
            raise Failure(f"expected 6 menu bar titles, found {len(self.titles)}: {self.titles}")

    def menu_titles(self, shot):
        """Horizontal extents of the menu bar's captions: runs of columns holding dark text
        pixels, split where the gap is wider than the space inside a caption (half-width kana leave up to
        about 9 pixels; Qt pads captions by more than 15)."""
        x0, y0, w, _ = self.geometry(self.main)
        top, bottom = max(y0, 0), self.origin[1]
        columns = []
        for x in range(max(x0, 0), min(x0 + w, shot.width)):
            if any(sum(shot.get(x, y)) < 300 for y in range(top, bottom)):
                columns.append(x)
        titles = []
        for x in columns:
            if titles and x - titles[-1][1] <= 12:
                titles[-1][1] = x
            else:
                titles.append([x, x])
        return [(a, b) for a, b in titles]

    def square_centre(self, square):
        x, y = square
        return (self.origin[0] + (100 + 495 * x + 247) // 15, self.origin[1] + (100 + 615 * y + 307) // 15)

    def square_box(self, square):
        x, y = square
        return (self.origin[0] + (100 + 495 * x) // 15, self.origin[1] + (100 + 615 * y) // 15)

    # ---- reading the screen -----------------------------------------------------------------

    def square_pixels(self, shot, square):
        """Counts of telling colours inside one square's picture (a margin left out)."""
        left, top = self.square_box(square)
        red = black = grey = number = 0
        # Every other pixel of every other row is plenty and keeps polling cheap.
        for y in range(top + 3, top + 38, 2):
            for x in range(left + 3, left + 30, 2):
                r, g, b = shot.get(x, y)
                if r > 150 and g < 90 and b < 90:
                    red += 1
                elif r < 70 and g < 70 and b < 70:
                    black += 1
                elif r < 100 and g > 200 and b < 100:
                    number += 1
                elif abs(r - g) < 16 and abs(g - b) < 16 and 90 < r < 200:
                    grey += 1
        return red, black, grey, number

    def classify(self, shot, square):
        red, black, grey, number = self.square_pixels(shot, square)
        if red > 4:
            return rules.FIRST
        if black > 6:
            return rules.SECOND
        if grey > 40:
            return "g"  # the grey guide piece on a legal square
        return rules.EMPTY

    def board_box(self):
        """The board's squares on the screen: (x, y, w, h)."""
        left, top = self.square_box((1, 1))
        right, bottom = self.square_box((9, 9))
        return left, top, right + 34 - left, bottom + 42 - top

    def read_board(self, shot=None):
        shot = shot or self.display.screenshot()
        return {sq: self.classify(shot, sq) for sq in rules.start_position()}

    def move_numbers_shown(self, shot, square):
        return self.square_pixels(shot, square)[3] > 1

    def wait_board(self, expected, what="the board", timeout=DEADLINE):
        """Waits until the screen shows exactly `expected` (a board, or a list of boards);
        returns the board seen."""
        return waits.board(self, expected, what, timeout)

    def coaching_picture(self, shot=None):
        """What the coaching picture beside the board shows: 'blank', 'hint' (指南します: yellow
        on red) or 'mode' (指南モード: red on yellow)."""
        shot = shot or self.display.screenshot()
        left = self.origin[0] + (100 * 2 + 495 * 21) // 30
        top = self.origin[1] + int((100 + 615 * 3.1) / 15)
        red = yellow = 0
        for y in range(top + 2, top + 29):
            for x in range(left + 2, left + 107):
                r, g, b = shot.get(x, y)
                if r > 180 and g < 80 and b < 80:
                    red += 1
                elif r > 180 and g > 180 and b < 100:
                    yellow += 1
        if red + yellow < 200:
            return "blank"
        return "hint" if red > yellow else "mode"

    # ---- windows of the game ----------------------------------------------------------------

    def windows(self):
        out = self.display.xdotool("search", "--onlyvisible", "--pid", self.pid, check=False)
        return [w for w in out.split() if w != self.main]

    def dialogs(self):
        """Visible message boxes: (window, title). Popup menus carry the application's name."""
        found = []
        for w in self.windows():
            title = self.display.xdotool("getwindowname", w, check=False)
            if title != "quillet":
                found.append((w, title))
        return found

    def wait_dialog(self, timeout=DEADLINE):
        """The first message box to come up, whatever its title: (window, title)."""
        return waits.until("a message box", lambda: (self.dialogs() or [None])[0], timeout, 0.1)

    def answer(self, title, key="Return", timeout=DEADLINE, closed=True):
        """Waits for a message box titled `title` and answers it with a key (Return: OK or Yes;
        Escape: No); then waits for it to close, unless `closed` is false (to look at once at
        what follows it). Returns the box's window."""
        window = waits.box(self, title, timeout)
        self.display.xdotool("windowfocus", "--sync", window)
        self.display.xdotool("key", "--clearmodifiers", key)
        if closed:
            waits.gone(f"the message box {title!r} to close", lambda: window in self.windows())
        return window

    def no_dialog(self):
        d = self.dialogs()
        if d:
            raise Failure(f"unexpected message box {d[0][1]!r}")

    # ---- menus ------------------------------------------------------------------------------

    TITLES = ["対局", "局面", "戻", "進", "ｵﾌﾟｼｮﾝ", "その他"]

    def click_title(self, caption):
        a, b = self.titles[self.TITLES.index(caption)]
        self.display.click((a + b) // 2, self.menu_y)

    def popup_rows(self, window):
        """Centres of a popup menu's rows, found as bands of rows holding dark text."""
        x, y, w, h = self.geometry(window)
        shot = self.display.screenshot()
        rows = []
        for yy in range(y + 2, y + h - 2):
            if any(sum(shot.get(xx, yy)) < 300 for xx in range(x + 4, x + w - 20)):
                rows.append(yy)
        bands = []
        for yy in rows:
            if bands and yy - bands[-1][1] <= 3:
                bands[-1][1] = yy
            else:
                bands.append([yy, yy])
        return x, w, [(a + b) // 2 for a, b in bands]

    def wait_popup(self, known, rows):
        def new_popup():
            for w in self.windows():
                if w not in known and self.display.xdotool("getwindowname", w, check=False) == "quillet":
                    x, width, found = self.popup_rows(w)
                    if len(found) == rows:
                        return w, x, width, found
            return None
        return waits.until(f"a menu of {rows} items", new_popup, interval=0.1,
                           seen=lambda: f"message boxes up: {[t for _, t in self.dialogs()]}")

    MENUS = {"対局": 3, "対MAN": 1, "対COM": 2, "局面": 2, "ｵﾌﾟｼｮﾝ": 3}

    def choose(self, *path):
        """Chooses a menu command by clicking: choose('対局', 0, 0) is 対局 > 対MAN > START,
        the numbers being item rows from the top. A single caption of a command on the bar
        (戻, 進, その他) clicks it."""
        self.click_title(path[0])
        if len(path) == 1:
            return
        known = []
        counts = [self.MENUS[path[0]]]
        if path[0] == "対局" and len(path) == 3:
            counts.append(self.MENUS["対MAN" if path[1] == 0 else "対COM"])
        for index, rows in zip(path[1:], counts):
            window, x, width, centres = self.wait_popup(known, rows)
            known.append(window)
            self.display.click(x + min(40, width // 3), centres[index])

    def checked_items(self, caption):
        """Opens a menu, reports which rows carry a check mark, and closes it with Escape.
        A checkable row has a box with a light grey border left of its caption; a check mark is
        dark pixels inside that box."""
        self.click_title(caption)
        window, x, width, centres = self.wait_popup([], self.MENUS[caption])
        shot = self.display.screenshot()
        marks = []
        def grey(pixel):
            return 140 <= pixel[0] <= 215 and max(pixel) - min(pixel) < 12

        for c in centres:
            # The box's top edge: the longest straight run of grey in the row band, left of the
            # caption (text edges are grey too, but only in short runs).
            best = (0, 0)
            for yy in range(c - 9, c + 10):
                run = 0
                for xx in range(x + 2, x + min(width, 48)):
                    run = run + 1 if grey(shot.get(xx, yy)) else 0
                    if run > best[1] - best[0]:
                        best = (xx - run + 1, xx + 1)
            if best[1] - best[0] < 8:
                raise Failure(f"no check box in row {len(marks)} of the {caption} menu")
            dark = sum(1 for yy in range(c - 9, c + 10) for xx in range(best[0] + 1, best[1] - 1)
                       if sum(shot.get(xx, yy)) < 300)
            marks.append(dark > 5)
        self.display.xdotool("key", "Escape")
        waits.gone("the menu to close", lambda: window in self.windows())
        return marks

    def input_handled(self):
        """Returns once everything sent to the game before has been handled: the input of the X
        server reaches the game in order, so once a drop-down opened by a click after it shows,
        the game has taken all of it. A box that came up meanwhile, being modal, keeps the menu
        from opening, and the failure names it."""
        self.click_title(self.TITLES[0])

        def opened():
            boxes = self.dialogs()
            if boxes:
                raise Failure(f"a message box titled {boxes[0][1]!r} came up")
            return self.windows()
        window = waits.until(f"the drop-down of {self.TITLES[0]}, opened to see the input before it handled",
                             opened, interval=0.1)[0]
        # Closed by a click on its title, where the pointer still is, which leaves the bar as it
        # was (Escape would leave it highlighted, taking the next key).
        self.display.xdotool("click", 1)
        waits.gone("the menu to close", lambda: window in self.windows())

    # ---- the end ----------------------------------------------------------------------------

    def focus_main(self):
        self.display.xdotool("windowfocus", "--sync", self.main)

    def wait_exit(self, timeout=DEADLINE):
        return waits.ended(self.proc, "the game to end", timeout)

    def stop(self):
        """Ends the game (and whatever runs it) if it is still there; the exit status of a game
        that ended by itself is kept."""
        end(self.proc, grace=0)
        if not self.log_file.closed:
            self.log_file.close()

    def output(self):
        with open(self.log_path, "rb") as f:
            return f.read().decode(errors="replace")



def report_failure(display, name, error):
    """Says why a scenario failed, beside a screenshot of its display at that moment."""
    shot = os.path.join(os.getcwd(), "e2e-failures", f"{name}.png")
    display.save_screenshot(shot)
    log(f"{name}: FAILED: {error}\n(screenshot: {shot})")

def session(scenario, env=None, start=None):
    """Runs scenario(game) on a fresh display with a freshly started game; on failure saves a
    screenshot beside the test's working directory and exits 1. start(display, prefix, cleanups),
    where given, starts the game itself (after a window manager, say) and appends to cleanups
    what must be stopped after it."""
    prefix = os.environ.get("QUILLET_E2E_PREFIX")
    if not prefix or not os.path.isdir(prefix):
        log("QUILLET_E2E_PREFIX must name the installed prefix (the e2e_install test makes it)")
        return 1
    display = Display()
    game = None
    cleanups = []
    name = scenario.__name__
    try:
        game = start(display, prefix, cleanups) if start else Game(display, prefix, env)
        scenario(game)
        log(f"{name}: passed")
        return 0
    except Failure as e:
        report_failure(display, name, e)
        if game:
            log("game output:\n" + game.output())
        return 1
    finally:
        if game:
            game.stop()
        for cleanup in reversed(cleanups):
            cleanup()
        display.close()
