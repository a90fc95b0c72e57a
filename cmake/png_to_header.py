"""Turns PNG icons (8-bit RGBA, as rsvg-convert writes them) into a C++ header of raw RGBA
pixels, so that the program shows its icon without any image decoder at start.
Usage: png_to_header.py OUTPUT PNG..."""
import struct
import sys
import zlib


def rgba_rows(path):
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert (depth, colour, interlace) == (8, 6, 0), f"{path}: not 8-bit RGBA"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw, stride, previous, pixels = zlib.decompress(idat), width * 4, bytearray(width * 4), bytearray()
    for y in range(height):
        kind, row = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a = row[x - 4] if x >= 4 else 0
            b = previous[x]
            c = previous[x - 4] if x >= 4 else 0
            if kind == 1:
                row[x] = (row[x] + a) & 255
            elif kind == 2:
                row[x] = (row[x] + b) & 255
            elif kind == 3:
                row[x] = (row[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[x] = (row[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        pixels += row
        previous = row
    return width, height, pixels


with open(sys.argv[1], "w") as out:
    out.write("// Made at build time from the SVG icon.\n#pragma once\n\n")
    out.write("struct IconImage {\n    int size;\n    const unsigned char* rgba;\n};\n\n")
    names = []
    for path in sys.argv[2:]:
        width, height, pixels = rgba_rows(path)
        names.append((width, f"icon_{width}"))
        out.write(f"inline constexpr unsigned char icon_{width}[] = {{")
        out.write(",".join(str(b) for b in pixels))
        out.write("};\n")
    out.write("inline constexpr IconImage icon_images[] = {")
    out.write(", ".join(f"{{{w}, {n}}}" for w, n in names))
    out.write("};\n")
