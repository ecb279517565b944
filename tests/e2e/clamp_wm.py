#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A tiny window manager for the end-to-end tests that keeps frames off the screen's top edge the
way xfwm4 does: a frame asked for with its top between -29 and -1 is put at the top edge (0);
-30 or less, or anything else, is taken as asked. It frames each window (borders 5, caption 29),
announces the frame on _NET_FRAME_EXTENTS, honours the window's gravity (static: the corner asked
for is the window's; otherwise the frame's), and answers each request with the synthetic
ConfigureNotify of the ICCCM.

clamp_wm.py COUNT_FILE: after each request that moves a mapped window, COUNT_FILE holds the
number of such requests so far (a request to stay where it is, as a change of size alone
makes, is not counted), one line per window: "<window id> <count>"."""

import sys

from Xlib import X, Xatom, display
from Xlib.protocol import event

LEFT, RIGHT, TOP, BOTTOM = 5, 5, 29, 5
STATIC_GRAVITY = 10  # win_gravity of WM_NORMAL_HINTS
P_WIN_GRAVITY = 1 << 9


def clamp(top):
    return 0 if -30 < top < 0 else top


class Manager:
    def __init__(self, count_file):
        self.count_file = count_file
        self.d = display.Display()
        self.root = self.d.screen().root
        self.frames = {}  # client id -> frame window
        self.moves = {}  # client id -> requests that moved it once mapped
        self.extents = self.d.intern_atom("_NET_FRAME_EXTENTS")
        self.root.change_attributes(event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
        self.d.sync()
        # Announced as a manager is: a child window that names itself, on the root and on itself.
        check = self.root.create_window(-10, -10, 1, 1, 0, X.CopyFromParent)
        wm_check = self.d.intern_atom("_NET_SUPPORTING_WM_CHECK")
        name = self.d.intern_atom("_NET_WM_NAME")
        utf8 = self.d.intern_atom("UTF8_STRING")
        for w in (self.root, check):
            w.change_property(wm_check, Xatom.WINDOW, 32, [check.id])
        check.change_property(name, utf8, 8, b"clamp")
        self.root.change_property(self.d.intern_atom("_NET_SUPPORTED"), Xatom.ATOM, 32, [self.extents])
        self.d.sync()

    def static(self, client):
        hints = client.get_wm_normal_hints()
        return bool(hints and hints.flags & P_WIN_GRAVITY and hints.win_gravity == STATIC_GRAVITY)

    def notify(self, client, x, y, w, h):
        client.send_event(event.ConfigureNotify(event=client, window=client, above_sibling=X.NONE, x=x, y=y,
                                                width=w, height=h, border_width=0, override=False),
                          event_mask=X.StructureNotifyMask)

    def frame_corner(self, client, x, y):
        return (x - LEFT, y - TOP) if self.static(client) else (x, y)

    def map_request(self, client):
        if client.id in self.frames:
            self.frames[client.id].map()
            client.map()
            return
        g = client.get_geometry()
        fx, fy = self.frame_corner(client, g.x, g.y)
        fy = clamp(fy)
        frame = self.root.create_window(fx, fy, g.width + LEFT + RIGHT, g.height + TOP + BOTTOM, 0,
                                        X.CopyFromParent, background_pixel=self.d.screen().white_pixel,
                                        event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
        client.change_property(self.extents, Xatom.CARDINAL, 32, [LEFT, RIGHT, TOP, BOTTOM])
        client.change_save_set(X.SetModeInsert)
        client.reparent(frame, LEFT, TOP)
        self.frames[client.id] = frame
        self.moves[client.id] = 0
        frame.map()
        client.map()
        self.notify(client, fx + LEFT, fy + TOP, g.width, g.height)

    def configure_request(self, e):
        client = e.window
        frame = self.frames.get(client.id)
        if frame is None:
            values = {k: getattr(e, k) for k, bit in (("x", X.CWX), ("y", X.CWY), ("width", X.CWWidth),
                                                      ("height", X.CWHeight)) if e.value_mask & bit}
            if values:
                client.configure(**values)
            return
        fg = frame.get_geometry()
        cg = client.get_geometry()
        w = e.width if e.value_mask & X.CWWidth else cg.width
        h = e.height if e.value_mask & X.CWHeight else cg.height
        fx, fy = fg.x, fg.y
        if e.value_mask & (X.CWX | X.CWY):
            # A coordinate not asked for stays where the window's is now.
            x = e.x if e.value_mask & X.CWX else fg.x + (LEFT if self.static(client) else 0)
            y = e.y if e.value_mask & X.CWY else fg.y + (TOP if self.static(client) else 0)
            if self.frame_corner(client, x, y) != (fg.x, fg.y):
                # Asked to go elsewhere (a change of size alone repeats the corner it has).
                self.moves[client.id] += 1
                with open(self.count_file, "w") as f:
                    for cid, count in self.moves.items():
                        f.write(f"{cid} {count}\n")
            fx, fy = self.frame_corner(client, x, y)
            fy = clamp(fy)
        frame.configure(x=fx, y=fy, width=w + LEFT + RIGHT, height=h + TOP + BOTTOM)
        client.configure(x=LEFT, y=TOP, width=w, height=h)
        self.notify(client, fx + LEFT, fy + TOP, w, h)

    def run(self):
        while True:
            e = self.d.next_event()
            if e.type == X.MapRequest:
                self.map_request(e.window)
            elif e.type == X.ConfigureRequest:
                self.configure_request(e)
            elif e.type == X.UnmapNotify and e.window.id in self.frames and e.event.id != self.root.id:
                self.frames[e.window.id].unmap()
            elif e.type == X.DestroyNotify and e.window.id in self.frames:
                self.frames.pop(e.window.id).destroy()
            self.d.flush()


if __name__ == "__main__":
    Manager(sys.argv[1]).run()
