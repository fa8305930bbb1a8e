#!/usr/bin/env python3
"""usage: minimise_window.py X_WINDOW_ID

Minimises a window as a window manager would after `xdotool windowminimize`: Xvfb runs none,
so the WM_CHANGE_STATE request goes unanswered. Sets WM_STATE to IconicState and unmaps the
window; Wine takes that as the user minimising it."""
import ctypes
import sys

x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
x.XUnmapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
d = x.XOpenDisplay(None)
w = int(sys.argv[1])
atom = x.XInternAtom(d, b"WM_STATE", 0)
data = (ctypes.c_long * 2)(3, 0)
x.XChangeProperty(d, w, atom, atom, 32, 0, data, 2)
x.XUnmapWindow(d, w)
x.XCloseDisplay(d)
