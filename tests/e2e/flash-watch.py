#!/usr/bin/env python3
"""Watches the card's left border for the flash at the end of a countdown.

    flash-watch.py WINDOW SECONDS ROW DIGITS_BOX [--until-over]

Reads three pixels of the window's own picture at (0..2, ROW) every few milliseconds, straight
from the X server through libX11, for SECONDS after its first reading: a photograph with
ImageMagick takes far longer than the flash on a busy machine, this takes a few milliseconds. DIGITS_BOX is "x y w h" of the digits. With --until-over it
stops once the border is back to normal after a flash. Prints "watching" once it has read the
border for the first time, and at the end one line:

    flash ON OFF DIGIT_ACCENT END
                                 first and last moment the border flashed (seconds after
                                 the first reading), the accent pixels in the digits at the first, and
                                 "over" when the border was normal again after it ("on" if not)
    none OTHER                   no flash; OTHER is the last border that was neither the
                                 flash nor the normal one ("-" if none)

Colours are those of the dark theme with the orange accent.
"""
import ctypes
import sys
import time

ACCENT = (245, 140, 33)
BORDER = (37, 37, 37)
SURFACE = (10, 10, 10)
Z_PIXMAP = 2
ALL_PLANES = ctypes.c_ulong(0xFFFFFFFF)


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int), ("red_mask", ctypes.c_ulong),
                ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong)]


xlib = ctypes.CDLL("libX11.so.6")
xlib.XOpenDisplay.restype = ctypes.c_void_p
xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
xlib.XGetImage.restype = ctypes.POINTER(XImage)
xlib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                           ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
xlib.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
# A window that goes away reads as no picture instead of ending the process.
ignore_errors = ERROR_HANDLER(lambda display, event: 0)
xlib.XSetErrorHandler(ignore_errors)


def shift_of(mask):
    shift = 0
    while mask and not mask & 1:
        mask >>= 1
        shift += 1
    return shift


def pixels(display, window, x, y, w, h):
    """The box's pixels as (r, g, b) rows, or None when the window cannot be read."""
    image = xlib.XGetImage(display, window, x, y, w, h, ALL_PLANES, Z_PIXMAP)
    if not image:
        return None
    try:
        img = image.contents
        if img.bits_per_pixel != 32:
            return None
        shifts = [shift_of(m) for m in (img.red_mask, img.green_mask, img.blue_mask)]
        raw = ctypes.string_at(img.data, img.bytes_per_line * img.height)
        rows = []
        for row in range(img.height):
            line = []
            for col in range(img.width):
                value = int.from_bytes(raw[row * img.bytes_per_line + 4 * col:][:4], "little")
                line.append(tuple((value >> s) & 0xFF for s in shifts))
            rows.append(line)
        return rows
    finally:
        xlib.XDestroyImage(image)


def near(colour, want, tolerance):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, want))


def border_state(row):
    a, b, c = row
    if near(a, ACCENT, 40) and near(b, ACCENT, 40) and not near(c, ACCENT, 40):
        return "flash"
    if near(a, BORDER, 8) and near(b, SURFACE, 4):
        return "normal"
    return "other(%s %s %s)" % tuple(",".join(map(str, p)) for p in row)


def main():
    args = [a for a in sys.argv[1:] if a != "--until-over"]
    until_over = len(args) != len(sys.argv) - 1
    if len(args) != 4:
        sys.exit(__doc__)
    window, seconds, row = int(args[0], 0), float(args[1]), int(args[2])
    box = [int(v) for v in args[3].split()]
    display = xlib.XOpenDisplay(None)
    if not display:
        sys.exit("flash-watch.py: cannot open the display")
    on = off = None
    over = False
    digit_accent = 0
    other = "-"
    watching = False
    start = time.time()
    while time.time() < start + seconds:
        border = pixels(display, window, 0, row, 3, 1)
        state = border_state(border[0]) if border else "unreadable"
        now = time.time() - start
        if not watching:
            print("watching", flush=True)
            watching = True
        if state == "flash":
            if on is None:
                on = now
                digits = pixels(display, window, *box) or []
                digit_accent = sum(near(p, ACCENT, 40) for line in digits for p in line)
            off = now
        elif state == "normal":
            if on is not None:
                over = True
                if until_over:
                    break
        else:
            other = state
        time.sleep(0.005)
    if on is None:
        print("none %s" % other)
    else:
        print("flash %.3f %.3f %d %s" % (on, off, digit_accent, "over" if over else "on"))


if __name__ == "__main__":
    main()
