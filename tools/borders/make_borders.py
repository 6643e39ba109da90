#!/usr/bin/python3
"""Make the border line file: the national boundaries of GSHHG's WDBII layer.

The file holds polylines in GMT's multi-segment text form: a line beginning
with ">" starts a polyline, every other line is one "longitude latitude" pair
in degrees (east and north positive) with three decimals (about 100 m, well
under a pixel of the largest globe a screen shows whole). The lines are cut
where GMT's storage bins meet; the program draws each piece on its own, so
the cuts do not show.

Points closer than MIN_STEP_DEG to the last kept point of their line are
dropped (the ends of each line are always kept): intermediate resolution
carries detail far below a pixel at any globe size but the largest.

Needs the Debian packages gmt and gmt-gshhg-high (which brings the
intermediate resolution too). Usage:
  tools/borders/make_borders.py data/Borders_WDBII_i.txt
"""

import os
import subprocess
import sys
import tempfile

RESOLUTION = "i"
MIN_STEP_DEG = 0.01
DECIMALS = 3


def read_lines():
    with tempfile.TemporaryDirectory() as workdir:
        dump = subprocess.run(
            ["gmt", "coast", "-R-180/180/-90/90", f"-D{RESOLUTION}", "-N1", "-M"],
            check=True, capture_output=True, text=True, cwd=workdir).stdout
    lines, current = [], []
    for row in dump.splitlines():
        if row.startswith(">"):
            if len(current) >= 2:
                lines.append(current)
            current = []
        elif row.strip():
            lon, lat = row.split()[:2]
            current.append((float(lon), float(lat)))
    if len(current) >= 2:
        lines.append(current)
    if not lines:
        sys.exit("gmt coast returned no borders: are gmt-gshhg-* installed?")
    return lines


def thinned(line):
    kept = [line[0]]
    for lon, lat in line[1:-1]:
        if max(abs(lon - kept[-1][0]), abs(lat - kept[-1][1])) >= MIN_STEP_DEG:
            kept.append((lon, lat))
    kept.append(line[-1])
    return kept


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    target = sys.argv[1]
    lines = [thinned(line) for line in read_lines()]
    fd, temporary = tempfile.mkstemp(dir=os.path.dirname(os.path.abspath(target)))
    with os.fdopen(fd, "w") as out:
        for line in lines:
            out.write(">\n")
            for lon, lat in line:
                out.write(f"{lon:.{DECIMALS}f} {lat:.{DECIMALS}f}\n")
    os.replace(temporary, target)
    os.chmod(target, 0o644)
    print(f"{len(lines)} lines, {sum(len(l) for l in lines)} points -> {target}")


if __name__ == "__main__":
    main()
