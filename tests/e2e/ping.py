# SPDX-License-Identifier: GPL-3.0-or-later
"""The window manager's liveness ping (_NET_WM_PING), sent to the game's window the way GNOME's,
KDE's and Xfce's managers send it, and the longest the game took to answer. A desktop calls a
window that leaves it unanswered for about five seconds "not responding"."""

import os
import select
import sys
import threading
import time

try:
    from Xlib import X, display as xdisplay, error, protocol
except ImportError:  # Debian's python3-xlib, seen from another Python 3 (a developer's own)
    sys.path.append("/usr/lib/python3/dist-packages")
    from Xlib import X, display as xdisplay, error, protocol


class Pinger:
    """Pings `window` on the X display `name` every `interval` seconds from a thread of its own,
    until stop()."""

    def __init__(self, name, window, interval=0.2):
        self.conn = xdisplay.Display(name)
        self.root = self.conn.screen().root
        # The answer goes to the root window, to its manager (who redirects its children) and to
        # whoever watches its structure.
        self.root.change_attributes(event_mask=X.StructureNotifyMask)
        self.protocols = self.conn.intern_atom("WM_PROTOCOLS")
        self.ping = self.conn.intern_atom("_NET_WM_PING")
        self.window = self.conn.create_resource_object("window", int(window))
        self.interval = interval
        self.sent = {}  # stamp -> time sent
        self.waits = []  # (time sent, seconds to the answer)
        self.running = True
        self.thread = threading.Thread(target=self.run, daemon=True)
        self.thread.start()

    def send(self, stamp):
        event = protocol.event.ClientMessage(window=self.window, client_type=self.protocols,
                                             data=(32, [self.ping, stamp, self.window.id, 0, 0]))
        # No event mask: delivered to the client that made the window, as a manager sends it.
        self.window.send_event(event, event_mask=0)
        self.conn.flush()
        self.sent[stamp] = time.monotonic()

    def receive(self):
        while self.conn.pending_events():
            event = self.conn.next_event()
            # The type keeps the bit that marks a sent event.
            if event.type & 0x7F != X.ClientMessage or event.client_type != self.protocols:
                continue
            fmt, data = event.data
            if fmt != 32 or data[0] != self.ping:
                continue
            sent = self.sent.pop(data[1], None)
            if sent is not None:
                self.waits.append((sent, time.monotonic() - sent))

    def run(self):
        try:
            self.pinging()
        except (error.ConnectionClosedError, OSError):
            pass  # the display ended under it (the scenario is ending); what was seen stays

    def pinging(self):
        stamp, due = 1, time.monotonic()
        while self.running:
            now = time.monotonic()
            if now >= due:
                self.send(stamp)
                stamp += 1
                due += self.interval
            ready, _, _ = select.select([self.conn.fileno()], [], [], max(0.0, due - time.monotonic()))
            if ready or self.conn.pending_events():
                self.receive()

    def stop(self):
        """Stops pinging and returns (longest wait in seconds, pings sent, when the longest was
        sent, counted from the first). A ping still unanswered counts as waiting until now."""
        self.running = False
        self.thread.join(5)
        now = time.monotonic()
        waits = self.waits + [(sent, now - sent) for sent in self.sent.values()]
        self.conn.close()
        if not waits:
            return 0.0, 0, 0.0
        first = min(sent for sent, _ in waits)
        sent, longest = max(waits, key=lambda w: w[1])
        return longest, len(waits), sent - first


def main():
    """ping.py WINDOW [SECONDS]: pings a window on $DISPLAY and prints the longest wait."""
    pinger = Pinger(os.environ["DISPLAY"], int(sys.argv[1], 0))
    time.sleep(float(sys.argv[2]) if len(sys.argv) > 2 else 10)
    longest, count, at = pinger.stop()
    print(f"{count} pings, longest wait {longest:.3f} s (sent at {at:.1f} s)")


if __name__ == "__main__":
    main()
