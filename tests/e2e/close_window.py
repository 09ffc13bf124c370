"""Asks the X window WINDOW_ID to close as a window manager would (none runs under Xvfb): a
WM_PROTOCOLS client message carrying WM_DELETE_WINDOW.   usage: close_window.py WINDOW_ID"""
import ctypes
import sys

x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = x11.XInternAtom.restype = ctypes.c_void_p
display, window = ctypes.c_void_p(x11.XOpenDisplay(None)), int(sys.argv[1], 0)
if not display.value:
    sys.exit("close_window.py: cannot open the display")
# An XClientMessageEvent (an XEvent is 24 longs), each member in a long of its own: type
# (ClientMessage), serial, send_event, display, window, message_type, format, data.
event = (ctypes.c_ulong * 24)(33, 0, 0, 0, window, x11.XInternAtom(display, b"WM_PROTOCOLS", 0),
                              32, x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0))
sent = x11.XSendEvent(display, ctypes.c_ulong(window), 0, 0, event)
x11.XCloseDisplay(display)  # flushes the event
sys.exit(0 if sent else 1)
