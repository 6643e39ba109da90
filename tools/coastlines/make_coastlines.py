#!/usr/bin/python3
"""Make the coastline point file: points spread evenly along the world's shores.

Each line holds one "longitude latitude" pair in degrees (east and north
positive) with four decimals; there are no other lines. The shores are GSHHG's
intermediate-resolution shorelines (sea coasts, lake shores, islands in lakes,
ponds; every feature of at least MIN_AREA_KM2) as GMT's coast module dumps
them. Along every shore the points are placed at one common spacing, chosen so
that the file holds exactly POINT_COUNT points.

The program drops any point whose longitude times latitude is 0, so a point
that would land exactly on the prime meridian or the equator (after rounding
to the written decimals) is moved off it by one unit of the last decimal.

Needs the Debian packages gmt, gmt-gshhg-high (or -full) and python3-numpy. Usage:
  tools/coastlines/make_coastlines.py data/World_Points_165648.txt [--preview preview.png]
"""

import argparse
import math
import os
import subprocess
import sys
import tempfile

import numpy as np

POINT_COUNT = 165648
MIN_AREA_KM2 = 100
RESOLUTION = "i"  # GSHHG intermediate: detail of about 0.2 km, far below the spacing
EARTH_RADIUS_KM = 6371.0
DECIMALS = 4
HAIR = 10.0 ** -DECIMALS


def read_shores():
    """The shore segments as (n, 2) arrays of longitude, latitude in degrees."""
    with tempfile.TemporaryDirectory() as workdir:
        dump = subprocess.run(
            ["gmt", "coast", "-R-180/180/-90/90", f"-D{RESOLUTION}", f"-A{MIN_AREA_KM2}+l", "-W",
             "-M"], check=True, capture_output=True, text=True, cwd=workdir).stdout
    segments, current = [], []
    for line in dump.splitlines():
        if line.startswith(">"):
            if len(current) >= 2:
                segments.append(np.array(current))
            current = []
        elif line.strip():
            lon, lat = line.split()[:2]
            current.append((float(lon), float(lat)))
    if len(current) >= 2:
        segments.append(np.array(current))
    if not segments:
        sys.exit("gmt coast returned no shorelines: are gmt-gshhg-* installed?")
    return segments


def cumulative_km(seg):
    """Distance along the segment from its first vertex, in km (0 at the start)."""
    lon = np.radians(seg[:, 0])
    lat = np.radians(seg[:, 1])
    dlon = (np.diff(lon) + math.pi) % (2 * math.pi) - math.pi
    dx = dlon * np.cos((lat[1:] + lat[:-1]) / 2)
    dy = np.diff(lat)
    return np.concatenate([[0.0], np.cumsum(EARTH_RADIUS_KM * np.hypot(dx, dy))])


def resample(segments, count):
    """Exactly `count` points at one common spacing along all segments.

    A segment receives as many points as the running total of length / spacing
    passes whole numbers within it, so short pieces (the shores are cut where
    GMT's storage bins meet) still get their share, and the points of a segment
    sit at the middles of equal stretches.
    """
    lengths = [cumulative_km(s) for s in segments]
    total_km = sum(c[-1] for c in lengths)
    spacing_km = total_km / (count + 0.5)
    points, running = [], 0.0
    for seg, along in zip(segments, lengths):
        before = math.floor(running / spacing_km)
        running += along[-1]
        n = math.floor(running / spacing_km) - before
        if n <= 0:
            continue
        at = (np.arange(n) + 0.5) * (along[-1] / n)
        lon = np.interp(at, along, seg[:, 0])
        lat = np.interp(at, along, seg[:, 1])
        points.append(np.column_stack([lon, lat]))
    result = np.concatenate(points)[:count]
    return result, spacing_km


def off_the_axes(values):
    """Moves values that would be written as 0 by one unit of the last decimal."""
    rounded = np.round(values, DECIMALS)
    zero = rounded == 0
    return np.where(zero, np.where(values < 0, -HAIR, HAIR), rounded)


def write_points(path, points):
    lon = off_the_axes(points[:, 0])
    lat = off_the_axes(points[:, 1])
    text = "".join(f"{x:.{DECIMALS}f} {y:.{DECIMALS}f}\n" for x, y in zip(lon, lat))
    temporary = path + ".part"
    with open(temporary, "w", encoding="ascii", newline="\n") as out:
        out.write(text)
    os.replace(temporary, path)


def write_preview(path, points):
    from PIL import Image
    width, height = 1440, 720
    image = np.full((height, width), 255, dtype=np.uint8)
    cols = np.clip(((points[:, 0] + 180) / 360 * width).astype(int), 0, width - 1)
    rows = np.clip(((90 - points[:, 1]) / 180 * height).astype(int), 0, height - 1)
    image[rows, cols] = 0
    Image.fromarray(image, "L").save(path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", help="the text file to write")
    parser.add_argument("--preview", help="also write a 1440 x 720 PNG of the points")
    args = parser.parse_args()

    points, spacing_km = resample(read_shores(), POINT_COUNT)
    if len(points) != POINT_COUNT:
        sys.exit(f"made {len(points)} points, expected {POINT_COUNT}")
    write_points(args.output, points)
    if args.preview:
        write_preview(args.preview, points)
    print(f"{args.output}: {len(points)} points, {spacing_km:.2f} km apart")


if __name__ == "__main__":
    main()
