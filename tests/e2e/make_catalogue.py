#!/usr/bin/env python3
"""Writes the end-to-end catalogue and screenshot from the published byte layout.

usage: make_catalogue.py DATA_FOLDER PICTURE_FOLDER PICTURE_WINDOWS_PATH [PROGRAM [PARAMETERS]]
Tab "Office": Notepad (0,0) with a screenshot, Registry editor (1,0), Missing icon (2,1).
PROGRAM and PARAMETERS replace what the first icon starts (Notepad without parameters).
Tab "Games": Other tab (3,2). Tab "Tools": no programs.
"""
import os
import struct
import sys

data_folder, picture_folder, picture_windows_path = sys.argv[1:4]
first_program = sys.argv[4] if len(sys.argv) > 4 else "C:\\windows\\notepad.exe"
first_parameters = sys.argv[5] if len(sys.argv) > 5 else ""


def field(text, width):
    raw = text.encode("ascii")[: width - 1]
    return raw + b"\0" * (width - len(raw))


def description(caption):
    """White 14-point text with a bold title, as an operator would format it."""
    return ("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green255\\blue255;}"
            "\\f0\\cf1\\fs28{\\b " + caption + "}\\par Start it with a double-click.\\par}")


def entry(column, row, caption, icon, tab, screenshot="", program="C:\\windows\\notepad.exe",
          parameters=""):
    return (struct.pack("<iii", column, row, 0) + field(caption, 500)
            + field(description(caption), 5000) + field(screenshot, 1000)
            + field(program, 1000) + field(parameters, 1000) + field(icon, 1000)
            + struct.pack("<ii", 1, tab))


entries = [
    entry(0, 0, "Notepad", "C:\\windows\\notepad.exe", 0, picture_windows_path, first_program,
          first_parameters),
    entry(1, 0, "Registry editor", "C:\\windows\\regedit.exe", 0),
    entry(2, 1, "Missing icon", "C:\\nowhere\\none.exe", 0),
    entry(3, 2, "Other tab", "C:\\windows\\notepad.exe", 1),
]
tabs = ["Office", "Games", "Tools"]
catalogue = struct.pack("<I", 0x10000 + len(entries)) + b"".join(entries)
catalogue += struct.pack("<i", len(tabs))
for tab in tabs:
    catalogue += struct.pack("<i", len(tab) + 1) + tab.encode("ascii") + b"\0"
os.makedirs(data_folder, exist_ok=True)
with open(os.path.join(data_folder, "icons.bin"), "wb") as out:
    out.write(catalogue)

# A 64 x 64 24-bit BMP: red, green on top; blue, white below.
size = 64
rows = []
for y in range(size - 1, -1, -1):
    row = b""
    for x in range(size):
        top, left = y < size // 2, x < size // 2
        r, g, b = (255, 0, 0) if top and left else (0, 255, 0) if top else \
            (0, 0, 255) if left else (255, 255, 255)
        row += bytes((b, g, r))
    rows.append(row)
pixels = b"".join(rows)
header = b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54)
info = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
os.makedirs(picture_folder, exist_ok=True)
with open(os.path.join(picture_folder, "shot.bmp"), "wb") as out:
    out.write(header + info + pixels)
