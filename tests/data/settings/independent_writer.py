#!/usr/bin/python3
"""Writes a settings file with nothing but the byte layout: every record is a big-endian Short
kind code, a Short label and the kind's body; a String is a Short byte count and UTF-8 bytes.

    independent_writer.py OUT [truncate]

With "truncate" the last record loses its final byte."""

import struct
import sys


def short(value):
    return struct.pack(">h", value)


def boolean(value):
    return struct.pack(">B", 1 if value else 0)


def string(text):
    data = text.encode("utf-8")
    return short(len(data)) + data


def record(code, label, body):
    return short(code) + short(label) + body


records = [
    # Format, red: JPEG 2000 with options text
    record(0, 1, string("quality=85") + short(1)),
    # Scaling, red: percent, 50 x 50, resolution 72 set, keep scale
    record(1, 1, boolean(False) + short(50) + short(1) + boolean(True) + short(72)
           + boolean(True) + short(50)),
    # File Name, red: separator off; prefix user text "Été_", suffix date; two "None" parts
    record(2, 1, boolean(False)
           + short(0) + string("Été_") + short(2) + string("日付")
           + short(5) + string("None") + short(6) + string("None")
           + short(5) + string("None") + short(6) + string("None")),
    # ColorSync, red: chosen profile 3
    record(3, 1, short(3) + short(1)),
    # Flip & Rotate, red: flip horizontal, rotate 180
    record(4, 1, boolean(True) + short(1) + boolean(True) + short(2)),
    # Watermark, red: no file, bottom right
    record(5, 1, string("nil") + short(4)),
    # Raw, gray: camera white balance
    record(6, 7, short(60) + short(70) + short(80) + short(2)),
    # FTP, gray
    record(7, 7, boolean(True) + string("pässwörd") + string("/incoming/ünï") + short(2121)
           + string("ftp.example.org") + string("anna")),
]

data = b"".join(records)
if len(sys.argv) > 2 and sys.argv[2] == "truncate":
    data = data[:-1]
with open(sys.argv[1], "wb") as out:
    out.write(data)
