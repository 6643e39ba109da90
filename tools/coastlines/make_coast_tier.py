#!/usr/bin/python3
"""Make one tier of the zoomed map's shores and borders from GSHHG.

The globe draws the coastline point file while it resolves the shore; zoomed
further in it draws these polylines instead, at the GSHHG resolution that
suits the scale (i: about 1 km, h: 0.2 km, f: 40 m). Each tier is one small
binary file, little-endian:

  "DVCOAST1"                      8 bytes
  tier letter, 3 zero bytes       4 bytes
  shore line count, border line count, 0      3 x uint32
  shore point count, border point count       2 x uint64
  the points of each shore line, then of each border line   uint32 each
  the shore points, then the border points    int32 longitude, int32 latitude,
                                              millionths of a degree

The shores are every GSHHG level (sea coasts, lakes, islands in lakes,
ponds), the borders the national boundaries (WDBII level 1), both as GMT's
coast module dumps them, cut where its storage bins meet, which keeps each
line short: the program indexes the lines by their bounds.

Needs the Debian packages gmt and gmt-gshhg-high (and gmt-gshhg-full for
tier f); nothing but the standard library of Python. Usage:
  tools/coastlines/make_coast_tier.py h data/Coast_GSHHG_h.bin [--region W/E/S/N]
"""

import argparse
import math
import os
import struct
import subprocess
import sys
import tempfile
from array import array

MAGIC = b"DVCOAST1"
SCALE = 1_000_000


def dump_lines(resolution, region, what):
    """The lines of `gmt coast` (what: -W shores or -N1 borders) as lists of integer pairs."""
    with tempfile.TemporaryDirectory() as workdir:
        raw = subprocess.run(["gmt", "coast", f"-R{region}", f"-D{resolution}", what, "-M",
                              "-bo2d"], check=True, capture_output=True, cwd=workdir).stdout
    values = array("d")
    values.frombytes(raw)
    if sys.byteorder != "little":
        values.byteswap()
    lines, current = [], []

    def close():
        # A line of one point draws nothing; repeated points add nothing.
        if len(current) >= 2:
            lines.append(list(current))
        current.clear()

    for k in range(0, len(values), 2):
        lon, lat = values[k], values[k + 1]
        if math.isnan(lon) or math.isnan(lat):
            close()
            continue
        point = (round(lon * SCALE), round(lat * SCALE))
        if not current or current[-1] != point:
            current.append(point)
    close()
    return lines


def write_tier(path, tier, shores, borders):
    header = MAGIC + tier.encode("ascii") + b"\0\0\0"
    header += struct.pack("<3I", len(shores), len(borders), 0)
    header += struct.pack("<2Q", sum(map(len, shores)), sum(map(len, borders)))
    counts = array("I", [len(line) for line in shores + borders])
    points = array("i", [c for line in shores + borders for point in line for c in point])
    if sys.byteorder != "little":
        counts.byteswap()
        points.byteswap()
    # Written beside the target and renamed, so an interrupted run leaves no half file.
    temporary = path + ".part"
    with open(temporary, "wb") as out:
        out.write(header)
        out.write(counts.tobytes())
        out.write(points.tobytes())
    os.replace(temporary, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("tier", choices=["c", "l", "i", "h", "f"], help="GSHHG resolution")
    parser.add_argument("output", help="the file to write")
    parser.add_argument("--region", default="-180/180/-90/90",
                        help="W/E/S/N in degrees (a small extract for the tests)")
    args = parser.parse_args()
    shores = dump_lines(args.tier, args.region, "-W")
    borders = dump_lines(args.tier, args.region, "-N1")
    if not shores:
        sys.exit("gmt coast returned no shorelines: are gmt and gmt-gshhg-* installed?")
    write_tier(args.output, args.tier, shores, borders)
    print(f"{args.output}: {len(shores)} shore lines of {sum(map(len, shores))} points, "
          f"{len(borders)} border lines of {sum(map(len, borders))} points, "
          f"{os.path.getsize(args.output)} bytes")


if __name__ == "__main__":
    main()
