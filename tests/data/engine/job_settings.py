#!/usr/bin/python3
"""Writes a settings file for the engine's tests from nothing but the byte layout of the
format: each record is a big-endian Short kind code, a Short label index and the kind's body;
a Boolean is one byte; a String is a Short byte count and UTF-8 bytes.

    job_settings.py OUT RECORD...

RECORD is KIND:LABEL[:FIELD=VALUE,...] with KIND one of format, scale, name, colorsync, flip,
watermark, raw, ftp and the fields below (unnamed fields keep the editor's defaults). In name
records the slots are p0..p2 and s0..s2, each MODE or MODE/TEXT."""

import struct
import sys


def short(value):
    return struct.pack(">h", int(value))


def boolean(value):
    return struct.pack(">B", 1 if int(value) else 0)


def string(text):
    data = text.encode("utf-8")
    return short(len(data)) + data


def format_body(f):
    return string(f.get("options", "")) + short(f.get("format", 0))


def scale_body(f):
    return (boolean(f.get("constrain", 1)) + short(f.get("height", 100)) + short(f.get("mode", 0))
            + boolean(f.get("keepScale", 0)) + short(f.get("resolution", 300))
            + boolean(f.get("setResolution", 0)) + short(f.get("width", 400)))


def name_body(f):
    body = boolean(f.get("sep", 1))
    defaults = {"p0": "5/None", "p1": "5/None", "p2": "5/None",
                "s0": "1/Extension", "s1": "6/None", "s2": "6/None"}
    for i in range(3):
        for side in ("p", "s"):
            mode, _, text = f.get(side + str(i), defaults[side + str(i)]).partition("/")
            body += short(mode) + string(text)
    return body


def colorsync_body(f):
    return short(f.get("profile", 0)) + short(f.get("mode", 0))


def flip_body(f):
    return (boolean(f.get("flip", 0)) + short(f.get("flipMode", 0)) + boolean(f.get("rotate", 0))
            + short(f.get("rotateMode", 0)))


def watermark_body(f):
    return string(f.get("file", "nil")) + short(f.get("placement", 0))


def raw_body(f):
    return (short(f.get("blue", 68)) + short(f.get("brightness", 68)) + short(f.get("red", 68))
            + short(f.get("wb", 0)))


def ftp_body(f):
    return (boolean(f.get("dontSave", 0)) + string(f.get("password", "")) + string(f.get("path", ""))
            + short(f.get("port", 0)) + string(f.get("server", "")) + string(f.get("user", "")))


KINDS = {"format": (0, format_body), "scale": (1, scale_body), "name": (2, name_body),
         "colorsync": (3, colorsync_body), "flip": (4, flip_body),
         "watermark": (5, watermark_body), "raw": (6, raw_body), "ftp": (7, ftp_body)}


def record(spec):
    kind, _, rest = spec.partition(":")
    label, _, fields = rest.partition(":")
    values = dict(item.split("=", 1) for item in fields.split(",") if item)
    code, body = KINDS[kind]
    return short(code) + short(label or 0) + body(values)


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as out:
        out.write(b"".join(record(spec) for spec in sys.argv[2:]))
