#!/usr/bin/env python3
"""Writes the room catalogue test's icons.bin files from the published byte layout.

usage: room_catalogue.py OUT KIND
KIND: local   Notepad at column 0         room    Notepad at column 2
      newer   Notepad at column 4         damaged "room" cut inside its program
      foreign "room" with version 7       overfull one more program than 1024x768 has cells
      big-a / big-b  2000 programs on 40 tabs, at different cells (a copy takes a while)
"""
import struct
import sys

out, kind = sys.argv[1:3]


def field(text, width):
    raw = text.encode("ascii")[: width - 1]
    return raw + b"\0" * (width - len(raw))


def entry(column, row, caption, tab=0):
    return (struct.pack("<iii", column, row, 0) + field(caption, 500)
            + field("{\\rtf1 " + caption + "}", 5000) + field("", 1000)
            + field("C:\\windows\\notepad.exe", 1000) + field("", 1000)
            + field("C:\\windows\\notepad.exe", 1000) + struct.pack("<ii", 1, tab))


def catalogue(entries, tabs, version=1):
    data = struct.pack("<I", (version << 16) + len(entries)) + b"".join(entries)
    data += struct.pack("<i", len(tabs))
    for tab in tabs:
        data += struct.pack("<i", len(tab) + 1) + tab.encode("ascii") + b"\0"
    return data


columns, rows = 13, 5  # the grid of a 1024x768 screen
if kind in ("local", "room", "newer"):
    data = catalogue([entry({"local": 0, "room": 2, "newer": 4}[kind], 0, kind)], [kind])
elif kind == "damaged":
    data = catalogue([entry(2, 0, "room")], ["room"])[:6000]
elif kind == "foreign":
    data = catalogue([entry(2, 0, "room")], ["room"], version=7)
elif kind == "overfull":
    cells = [entry(i % columns, i // columns, "P%d" % i) for i in range(columns * rows)]
    data = catalogue(cells + [entry(0, 0, "one too many")], ["full"])
elif kind in ("big-a", "big-b"):
    shift = 0 if kind == "big-a" else 1
    data = catalogue([entry((i + shift) % columns, (i // columns) % rows, "B%d" % i, i // 50)
                      for i in range(2000)], ["T%d" % t for t in range(40)])
else:
    sys.exit("unknown kind " + kind)
with open(out, "wb") as f:
    f.write(data)
