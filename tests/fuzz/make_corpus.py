#!/usr/bin/env python3
"""Writes the seed inputs of the decoder fuzz targets into corpus/<target>/.

Every seed is a small, well-formed file of a layout the decoders read (BMP
files and DIBs, icon and cursor files, .res images, dialog templates),
built here byte by byte, so that the corpus can be remade and extended:
    tests/fuzz/make_corpus.py [output folder]
"""
import os
import struct
import sys


def u16(*values):
    return struct.pack("<%dH" % len(values), *values)


def u32(*values):
    return struct.pack("<%dI" % len(values), *values)


# ---------------------------------------------------------------- bitmaps

def info_header(width, height, bits, compression=0, colours=0, size=40, masks=()):
    header = struct.pack("<IiiHHIIiiII", size, width, height, 1, bits, compression, 0,
                         2835, 2835, colours, 0)
    if size > 40:
        header += u32(*masks).ljust(size - 40, b"\0")
    return header


def core_header(width, height, bits):
    return struct.pack("<IHHHH", 12, width, height, 1, bits)


def palette(count, entry_size=4):
    table = b""
    for i in range(count):
        entry = bytes([(i * 37) & 0xFF, (i * 91) & 0xFF, (255 - i * 13) & 0xFF])
        table += entry + (b"\0" if entry_size == 4 else b"")
    return table


def rows(width, height, bits, value):
    """Pixel rows, bottom-up, each padded to four bytes."""
    stride = (width * bits + 31) // 32 * 4
    data = b""
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            v = value(x, y)
            if bits < 8:
                per_byte = 8 // bits
                shift = (per_byte - 1 - x % per_byte) * bits
                row[x // per_byte] |= (v & ((1 << bits) - 1)) << shift
            else:
                row[x * bits // 8:(x + 1) * bits // 8] = v.to_bytes(bits // 8, "little")
        data += bytes(row)
    return data


def bmp_file(dib_head, pixels):
    """A BMP file: file header, then the header (with its tables), then pixels."""
    offset = 14 + len(dib_head)
    return b"BM" + u32(offset + len(pixels), 0, offset) + dib_head + pixels


def icon_dib(width, height, bits, value, transparent, colours=None):
    """An image of an icon: the header counts colour image and AND mask."""
    table = palette(colours if colours is not None else (1 << bits)) if bits <= 8 else b""
    header = info_header(width, 2 * height, bits, colours=colours or 0)
    mask = rows(width, height, 1, lambda x, y: 1 if transparent(x, y) else 0)
    return header + table + rows(width, height, bits, value) + mask


def bitmap_seeds():
    seeds = {}
    seeds["indexed1.bmp"] = bmp_file(info_header(9, 3, 1, colours=2) + palette(2),
                                     rows(9, 3, 1, lambda x, y: (x + y) & 1))
    seeds["indexed4.bmp"] = bmp_file(info_header(5, 3, 4, colours=16) + palette(16),
                                     rows(5, 3, 4, lambda x, y: (x + 5 * y) % 16))
    seeds["indexed4-core.bmp"] = bmp_file(core_header(4, 2, 4) + palette(16, 3),
                                          rows(4, 2, 4, lambda x, y: x + 4 * y))
    # More colours counted than four bits can index.
    seeds["indexed4-100-colours.bmp"] = bmp_file(
        info_header(8, 2, 4, colours=100) + palette(100), rows(8, 2, 4, lambda x, y: x + 8 * y))
    seeds["indexed8.bmp"] = bmp_file(info_header(3, 2, 8, colours=6) + palette(6),
                                     rows(3, 2, 8, lambda x, y: x + 3 * y))
    top_down = rows(3, 3, 24, lambda x, y: (x * 80) << 16 | (y * 90) << 8 | 7)
    seeds["rgb24-top-down.bmp"] = bmp_file(info_header(3, -3, 24), top_down)
    seeds["rgb555.bmp"] = bmp_file(info_header(3, 2, 16),
                                   rows(3, 2, 16, lambda x, y: (x * 10) << 10 | y << 5 | 31))
    seeds["bitfields565.bmp"] = bmp_file(
        info_header(3, 2, 16, compression=3) + u32(0xF800, 0x07E0, 0x001F),
        rows(3, 2, 16, lambda x, y: (x * 9) << 11 | (y * 20) << 5 | 3))
    seeds["argb32-v5.bmp"] = bmp_file(
        info_header(2, 2, 32, compression=3, size=124,
                    masks=(0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000)),
        rows(2, 2, 32, lambda x, y: (x * 100 + 50) << 24 | 0x336699))
    rle8 = bytes([3, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 1, 0, 5, 3, 0, 1])
    seeds["rle8.bmp"] = bmp_file(info_header(6, 3, 8, compression=1, colours=4) + palette(4),
                                 rle8)
    rle4 = bytes([4, 0x12, 0, 5, 0x34, 0x56, 0x70, 0, 0, 0, 0, 2, 2, 0, 3, 0xAB, 0, 1])
    seeds["rle4.bmp"] = bmp_file(info_header(8, 2, 4, compression=2, colours=16) + palette(16),
                                 rle4)
    # DIBs without a file header, as resources and icons hold them.
    seeds["plain8.dib"] = info_header(4, 2, 8, colours=3) + palette(3) + rows(
        4, 2, 8, lambda x, y: (x + y) % 3)
    seeds["icon32.dib"] = icon_dib(4, 4, 32, lambda x, y: (x * 60) << 24 | 0x20A040,
                                   lambda x, y: x == y)
    seeds["icon4.dib"] = icon_dib(8, 4, 4, lambda x, y: (x + y) % 16, lambda x, y: x < 2)
    return seeds


# ---------------------------------------------------------- icons, cursors

def icon_file(images, kind=1, hotspots=None):
    """An .ico (kind 1) or .cur (kind 2) file holding the given images,
    each (width, height, bits, dib bytes)."""
    data = u16(0, kind, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for i, (width, height, bits, dib) in enumerate(images):
        second = u16(*hotspots[i]) if kind == 2 else u16(1, bits)
        data += bytes([width & 0xFF, height & 0xFF, 0, 0]) + second + u32(len(dib), offset)
        offset += len(dib)
        body += dib
    return data + body


def icon_seeds():
    small = icon_dib(4, 4, 32, lambda x, y: 0xFF000000 | (x * 60) << 16 | y * 60,
                     lambda x, y: False)
    large = icon_dib(8, 8, 4, lambda x, y: (x ^ y) % 16, lambda x, y: x + y < 3)
    png = b"\x89PNG\r\n\x1a\n" + u32(13) + b"IHDR" + u32(16, 16) + bytes(5)
    return {
        "two-sizes.ico": icon_file([(4, 4, 32, small), (8, 8, 4, large)]),
        "hotspot.cur": icon_file(
            [(8, 8, 1, icon_dib(8, 8, 1, lambda x, y: x == y, lambda x, y: x > y))],
            kind=2, hotspots=[(3, 5)]),
        "png-then-dib.ico": icon_file([(16, 16, 32, png), (4, 4, 32, small)]),
        "100-colours.ico": icon_file(
            [(8, 2, 4, icon_dib(8, 2, 4, lambda x, y: x + 8 * y, lambda x, y: False, 100))]),
    }


# ------------------------------------------------------ dialog templates

def text(value):
    return value.encode("utf-16-le") + b"\0\0"


def ordinal(value):
    return u16(0xFFFF, value)


def align(data):
    return data + b"\0" * (-len(data) % 4)


DS_SETFONT, DS_MODALFRAME, DS_FIXEDSYS = 0x40, 0x80, 0x08
WS_POPUP, WS_CAPTION, WS_SYSMENU = 0x80000000, 0x00C00000, 0x00080000
WS_CHILD, WS_VISIBLE, WS_TABSTOP, WS_GROUP = 0x40000000, 0x10000000, 0x00010000, 0x00020000


def classic_dialog(style, title, items, font=None, menu=b"\0\0", window_class=b"\0\0"):
    data = u32(style, 0) + u16(len(items)) + u16(0, 0, 210, 120) + menu + window_class
    data += text(title)
    if font:
        data += u16(font[0]) + text(font[1])
    for item_style, item_id, box, item_class, item_text in items:
        data = align(data)
        data += u32(item_style, 0) + u16(*box) + u16(item_id) + item_class + item_text + u16(0)
    return data


def about_dialog():
    child = WS_CHILD | WS_VISIBLE
    return classic_dialog(
        DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, "バージョン情報", [
            (child | WS_TABSTOP | 1, 1005, (80, 97, 50, 14), ordinal(0x80), text("OK")),
            (child | 3, 0xFFFF, (38, 17, 18, 21), ordinal(0x82), ordinal(101)),
            (child | 7, 0xFFFF, (14, 9, 183, 33), ordinal(0x80), text("")),
            (child | WS_GROUP, 0xFFFF, (84, 23, 66, 16), ordinal(0x82), text("Hollyphone")),
        ], font=(9, "ＭＳ Ｐゴシック"))


def dialog_seeds():
    extended = u16(1, 0xFFFF) + u32(7, 0, DS_SETFONT | DS_FIXEDSYS | WS_POPUP) + u16(1)
    extended += u16(5, 6, 100, 50) + u16(0, 0) + text("Hi") + u16(8, 700) + bytes([1, 128])
    extended += text("Face")
    extended = align(extended) + u32(3, 0, WS_CHILD | 0) + u16(1, 2, 30, 12) + u32(70000)
    extended += ordinal(0x80) + text("Go") + u16(2, 0xABCD)
    named = classic_dialog(WS_POPUP, "Named", [
        (WS_CHILD, 7, (1, 2, 3, 4), text("CustomClass"), ordinal(5)),
        (WS_CHILD | WS_VISIBLE, 8, (5, 6, 7, 8), ordinal(0x81), text("edit")),
    ], menu=text("MENU"), window_class=text("OwnClass"))
    return {"about.dlg": about_dialog(), "extended.dlg": extended, "named.dlg": named}


# ------------------------------------------------------------ .res images

def res_record(type_id, name_id, data):
    def identifier(value):
        return ordinal(value) if isinstance(value, int) else text(value)
    head = align(identifier(type_id) + identifier(name_id))
    head += u32(0) + u16(0x1030, 0x0411) + u32(0, 0)
    return align(u32(len(data), 8 + len(head)) + head + data)


def resource_seeds():
    icon_small = icon_dib(4, 4, 32, lambda x, y: 0xFF000000 | x << 20 | y << 4,
                          lambda x, y: False)
    icon_large = icon_dib(8, 8, 4, lambda x, y: (x + 2 * y) % 16, lambda x, y: x == 0)
    group = u16(0, 1, 2)
    group += bytes([4, 4, 0, 0]) + u16(1, 32) + u32(len(icon_small)) + u16(1)
    group += bytes([8, 8, 16, 0]) + u16(1, 4) + u32(len(icon_large)) + u16(2)
    cursor = u16(2, 6) + icon_dib(8, 8, 1, lambda x, y: x < y, lambda x, y: x > 6)
    cursor_group = u16(0, 2, 1) + u16(8, 16, 1, 1) + u32(len(cursor)) + u16(3)
    records = [
        res_record(0, 0, b""),
        res_record(3, 1, icon_small),
        res_record(3, 2, icon_large),
        res_record(14, 101, group),
        res_record(1, 3, cursor),
        res_record(12, 1, cursor_group),
        res_record(5, 106, about_dialog()),
        res_record(2, 1, bitmap_seeds()["plain8.dib"]),
        res_record("SKIN", "Holly", b"named resource"),
    ]
    return {"program.res": b"".join(records),
            "extended-dialog.res": res_record(0, 0, b"") + res_record(
                5, 106, dialog_seeds()["extended.dlg"])}


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "corpus")
    targets = {
        "fuzz_bmp_decoder": bitmap_seeds(),
        "fuzz_ico_decoder": icon_seeds(),
        "fuzz_dialog_template": dialog_seeds(),
        "fuzz_resources": resource_seeds(),
    }
    for target, seeds in targets.items():
        folder = os.path.join(root, target)
        os.makedirs(folder, exist_ok=True)
        for name, data in seeds.items():
            with open(os.path.join(folder, name), "wb") as out:
                out.write(data)


if __name__ == "__main__":
    main()
