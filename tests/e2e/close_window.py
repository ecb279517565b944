# SPDX-License-Identifier: GPL-3.0-or-later
"""Asks a window to close the way a window manager's close button does: a WM_DELETE_WINDOW
client message (ICCCM). Xvfb runs no window manager, so `wmctrl -c` would have nobody to ask,
and `xdotool windowclose` destroys the window instead of asking the program."""

import ctypes
import ctypes.util

CLIENT_MESSAGE = 33


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]


def request_close(display_name, window):
    xlib = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.POINTER(Event)]
    xlib.XFlush.argtypes = [ctypes.c_void_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    dpy = xlib.XOpenDisplay(display_name.encode())
    if not dpy:
        raise RuntimeError(f"cannot open display {display_name}")
    try:
        event = Event()
        event.xclient.type = CLIENT_MESSAGE
        event.xclient.window = window
        event.xclient.message_type = xlib.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = xlib.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
        event.xclient.data[1] = 0  # CurrentTime
        if not xlib.XSendEvent(dpy, window, 0, 0, ctypes.byref(event)):
            raise RuntimeError("XSendEvent failed")
        xlib.XFlush(dpy)
    finally:
        xlib.XCloseDisplay(dpy)
