#!/usr/bin/env python3
"""Prints an icons.bin in the published byte layout as text lines, for the shell tests.

usage: read_catalogue.py ICONS_BIN
"tab NAME" per tab in order, then per entry
"entry COLUMN ROW TAB SHOW CAPTION|PROGRAM|PARAMETERS|DESCRIPTION" (texts up to their NUL).
Exits 1 when the file is not complete: a short entry section or tab list, or bytes left over.
"""
import struct
import sys

data = open(sys.argv[1], "rb").read()


def text(raw):
    return raw.split(b"\0", 1)[0].decode("latin-1")


try:
    (header,) = struct.unpack_from("<I", data, 0)
    count, offset = header & 0xFFFF, 4
    entries = []
    for _ in range(count):
        record = data[offset:offset + 9520]
        if len(record) != 9520:
            raise ValueError("short entry")
        column, row, _icon = struct.unpack_from("<iii", record, 0)
        show, tab = struct.unpack_from("<ii", record, 9512)
        entries.append("entry %d %d %d %d %s|%s|%s|%s" % (
            column, row, tab, show, text(record[12:512]), text(record[6512:7512]),
            text(record[7512:8512]), text(record[512:5512])))
        offset += 9520
    (tabs,) = struct.unpack_from("<i", data, offset)
    offset += 4
    names = []
    for _ in range(tabs):
        (length,) = struct.unpack_from("<i", data, offset)
        offset += 4
        if length < 1 or offset + length > len(data):
            raise ValueError("short tab name")
        names.append(text(data[offset:offset + length]))
        offset += length
    if offset != len(data):
        raise ValueError("bytes after the tab list")
except (struct.error, ValueError) as error:
    print("incomplete:", error)
    sys.exit(1)
for name in names:
    print("tab", name)
for line in entries:
    print(line)
