#!/usr/bin/python3
"""Make the Earth texture: an 8640 x 4320 plate carree JPEG of the whole Earth.

Column 0 starts at longitude -180, row 0 at latitude +90; each pixel covers
2.5 arc minutes. Land is coloured by elevation (lowland green to highland
brown, snow above a latitude-dependent snow line) with hill shading; the sea
by depth, so that the shelves stand out pale against the deep ocean.

Sources, both shipped by Debian:
  - relief: ETOPO5 (5 arc-minute global elevation and bathymetry, NOAA/NGDC,
    public domain) from package ferret-datasets, smoothly upsampled to the
    texture's 2.5 arc minutes with a Catmull-Rom cubic;
  - land/water: a GSHHG land mask made by GMT's grdlandmask (packages gmt,
    gmt-gshhg-high), so that the painted shores lie where the coastline points
    of the map are.

Needs python3-numpy, python3-scipy and python3-pil (whose JPEG encoder is
libjpeg-turbo on Debian). Usage:
  tools/texture/make_earth_texture.py data/land_shallow_topo_8640_Relief_Gamma_4.0x.jpg \
      [--preview preview.png]
"""

import argparse
import os
import subprocess
import sys
import tempfile

import numpy as np
from PIL import Image
from scipy.io import netcdf_file
from scipy.ndimage import gaussian_filter

WIDTH = 8640
HEIGHT = 4320
PIXELS_PER_DEGREE = 24
ETOPO5 = "/usr/share/ferret-vis/data/etopo5.cdf"
KM_PER_DEGREE = 111.195

# Elevation (m) -> colour stops. Land: a muted physical-globe ramp.
LAND_STOPS = [
    (0, (72, 120, 58)),
    (150, (98, 140, 68)),
    (400, (146, 160, 92)),
    (800, (184, 174, 118)),
    (1500, (176, 146, 100)),
    (2500, (150, 114, 82)),
    (4000, (128, 102, 88)),
    (6000, (158, 150, 146)),
]
# Sea: pale over the shelves, dark in the deep basins.
SEA_STOPS = [
    (-11000, (5, 14, 48)),
    (-8000, (8, 22, 66)),
    (-5000, (14, 36, 96)),
    (-3000, (22, 54, 122)),
    (-1000, (34, 84, 158)),
    (-200, (58, 122, 186)),
    (-50, (92, 160, 206)),
    (0, (116, 180, 212)),
]
SNOW = (242, 244, 248)
SNOW_BLEND_M = 700.0  # elevation band over which land turns to snow
# Snow line (m) against latitude (deg): high in the tropics, at sea level
# towards the polar ice sheets; south of 60 deg everything is under ice,
# including the ice shelves that float on the sea.
SNOW_LINE = ([-90, -60, -55, -45, -25, 0, 25, 45, 60, 66, 72, 80, 90],
             [-2000, -2000, 1200, 3300, 5100, 5300, 5100, 3300, 1700, 900, -200, -800, -800])
# Water that the relief places above sea level (lakes, shores the coarser
# relief misses) is painted as this depth.
LAKE_DEPTH_M = -40.0

LIGHT_AZIMUTH_DEG = 315.0  # from the north-west, as map readers expect
LIGHT_ALTITUDE_DEG = 40.0
RELIEF_EXAGGERATION = 12.0
SHADE_STRENGTH_LAND = 0.85
SHADE_STRENGTH_SEA = 0.35
SHADE_STRENGTH_SNOW = 0.45
# ETOPO5 is coarse and terraced over Antarctica; its steps would shade as
# stripes, so the relief is smoothed there (in pixels, north-south / east-west)
# before shading.
ANTARCTIC_ROWS_FROM = (90 + 60) * PIXELS_PER_DEGREE
ANTARCTIC_SMOOTHING_PX = (6.0, 12.0)
# Boxes (west, east, south, north in degrees) where ETOPO5 is known to be
# wrong on land. Over the Cantabrian and Basque coast of Spain it holds a
# rectangle of 8 to 30 m (-4.1 .. -2.1 deg east, 43.05 .. 43.45 deg north)
# where the hills rise to over 1000 m, and another of 3 to 15 m in Galicia
# round A Coruna (-9 .. -8.1 deg east, 43.05 .. 43.45 deg north) where they
# rise to 500 m: painted as they stand, flat lowland-green blocks. Each box
# takes in the reach of the upsampling cubic round its rectangle; the land
# inside is filled in from the relief round the box, the sea floor there is
# right and kept.
RELIEF_DEFECTS = [(-4.25, -1.95, 42.95, 43.5), (-9.4, -7.95, 42.95, 43.6)]
DEFECT_FILL_ITERATIONS = 4000


def read_etopo5(path):
    """Elevation in metres, rows from +90 to -90 (2161), columns from 0 deg east (4320)."""
    with netcdf_file(path, "r", mmap=False) as f:
        rose = np.array(f.variables["ROSE"][:], dtype=np.float32)
        lat = np.array(f.variables["ETOPO05_Y"][:])
    if rose.shape != (2161, 4320) or not (lat[0] == -90 and lat[-1] == 90):
        sys.exit(f"{path}: unexpected ETOPO5 layout {rose.shape}")
    if np.any(np.abs(rose) > 20000):
        sys.exit(f"{path}: missing values in the relief")
    return rose[::-1, :]


def catmull_rom_weights(t):
    return np.array([(-t**3 + 2 * t**2 - t) / 2, (3 * t**3 - 5 * t**2 + 2) / 2,
                     (-3 * t**3 + 4 * t**2 + t) / 2, (t**3 - t**2) / 2], dtype=np.float32)


def upsample_twice(a, axis, periodic):
    """Doubles the samples along axis; new sample k sits at source index k/2 + 1/4."""
    a = np.moveaxis(a, axis, 0)
    n = a.shape[0] - (0 if periodic else 1)  # pairs of output samples
    if periodic:
        padded = np.concatenate([a[-1:], a, a[:2]], axis=0)
    else:
        padded = np.concatenate([a[:1], a, a[-1:]], axis=0)
    out = np.empty((2 * n,) + a.shape[1:], dtype=np.float32)
    for phase, t in ((0, 0.25), (1, 0.75)):
        w = catmull_rom_weights(t)
        acc = np.zeros((n,) + a.shape[1:], dtype=np.float32)
        for k in range(4):
            acc += w[k] * padded[k:k + n]
        out[phase::2] = acc
    return np.moveaxis(out, 0, axis)


def relief_grid():
    rose = read_etopo5(ETOPO5)
    # Column 0 of the texture is longitude -180: start the source there.
    rose = np.roll(rose, -2160, axis=1)
    elevation = upsample_twice(rose, axis=0, periodic=False)
    elevation = upsample_twice(elevation, axis=1, periodic=True)
    assert elevation.shape == (HEIGHT, WIDTH), elevation.shape
    return elevation


def mend_relief(elevation, land):
    """Fills the land of each RELIEF_DEFECTS box with the harmonic surface that
    meets the relief round the box (Jacobi iterations of Laplace's equation)."""
    for west, east, south, north in RELIEF_DEFECTS:
        c0 = int(np.floor((west + 180) * PIXELS_PER_DEGREE))
        c1 = int(np.ceil((east + 180) * PIXELS_PER_DEGREE))
        r0 = int(np.floor((90 - north) * PIXELS_PER_DEGREE))
        r1 = int(np.ceil((90 - south) * PIXELS_PER_DEGREE))
        # One pixel of frame: the values the fill starts from and keeps.
        # The sea counts as sea level here: the land rises from the shore,
        # not from the sea floor.
        frame = (slice(r0 - 1, r1 + 1), slice(c0 - 1, c1 + 1))
        block = np.where(land[frame], elevation[frame], np.maximum(elevation[frame], 0.0))
        block = block.astype(np.float64)
        unknown = np.zeros(block.shape, dtype=bool)
        unknown[1:-1, 1:-1] = land[r0:r1, c0:c1]
        block[unknown] = block[~unknown].mean()
        for _ in range(DEFECT_FILL_ITERATIONS):
            mean = np.zeros_like(block)
            mean[1:-1, 1:-1] = (block[:-2, 1:-1] + block[2:, 1:-1] + block[1:-1, :-2] +
                                block[1:-1, 2:]) / 4
            block[unknown] = mean[unknown]
        elevation[frame] = np.where(unknown, block, elevation[frame]).astype(np.float32)
    return elevation


def land_mask(workdir):
    """True for land (islands in lakes included), False for sea, lakes and ponds."""
    grid = os.path.join(workdir, "landmask.nc")
    raw = os.path.join(workdir, "landmask.u8")
    subprocess.run(["gmt", "grdlandmask", "-R-180/180/-90/90", "-I2.5m", "-r", "-Dh",
                    "-N0/1/0/1/0", f"-G{grid}=nb"], check=True, cwd=workdir)
    with open(raw, "wb") as out:
        subprocess.run(["gmt", "grd2xyz", grid, "-ZTLu"], check=True, stdout=out, cwd=workdir)
    mask = np.fromfile(raw, dtype=np.uint8)
    if mask.size != WIDTH * HEIGHT:
        sys.exit(f"land mask has {mask.size} cells, expected {WIDTH * HEIGHT}")
    return mask.reshape(HEIGHT, WIDTH) != 0


def ramp(values, stops):
    xs = np.array([s[0] for s in stops], dtype=np.float32)
    rgb = np.empty(values.shape + (3,), dtype=np.float32)
    for c in range(3):
        rgb[..., c] = np.interp(values, xs, np.array([s[1][c] for s in stops], dtype=np.float32))
    return rgb


def row_latitudes():
    return 90.0 - (np.arange(HEIGHT, dtype=np.float32) + 0.5) / PIXELS_PER_DEGREE


def hill_shade(elevation):
    """Relative brightness, 1 on flat ground, from a light in the north-west."""
    lat = row_latitudes()
    dy_m = KM_PER_DEGREE * 1000.0 / PIXELS_PER_DEGREE
    # Near the poles the pixels become very narrow; the floor keeps the east-west
    # differences from blowing up into noise there.
    dx_m = dy_m * np.maximum(np.cos(np.radians(lat)), 0.1)[:, None]
    east = (np.roll(elevation, -1, axis=1) - np.roll(elevation, 1, axis=1)) / (2 * dx_m)
    north = np.empty_like(elevation)
    north[1:-1] = (elevation[:-2] - elevation[2:]) / (2 * dy_m)
    north[0] = north[1]
    north[-1] = north[-2]
    east *= RELIEF_EXAGGERATION
    north *= RELIEF_EXAGGERATION
    az = np.radians(LIGHT_AZIMUTH_DEG)
    alt = np.radians(LIGHT_ALTITUDE_DEG)
    light = np.array([np.sin(az) * np.cos(alt), np.cos(az) * np.cos(alt), np.sin(alt)])
    shade = (-east * light[0] - north * light[1] + light[2]) / np.sqrt(east**2 + north**2 + 1)
    return np.clip(shade / np.sin(alt), 0.25, 1.6)


def make_texture(workdir):
    elevation = relief_grid()
    land = land_mask(workdir)
    elevation = mend_relief(elevation, land)

    land_elevation = np.maximum(elevation, 0.0)
    rgb_land = ramp(land_elevation, LAND_STOPS)
    snow_line = np.interp(row_latitudes(), *SNOW_LINE).astype(np.float32)[:, None]
    snow = np.clip((land_elevation - snow_line) / SNOW_BLEND_M, 0.0, 1.0)[..., None]
    rgb_land = rgb_land * (1 - snow) + np.array(SNOW, dtype=np.float32) * snow

    depth = np.where(elevation < 0, elevation, LAKE_DEPTH_M)
    rgb_sea = ramp(depth, SEA_STOPS)
    del depth

    shaded = elevation.copy()
    shaded[ANTARCTIC_ROWS_FROM:] = gaussian_filter(shaded[ANTARCTIC_ROWS_FROM - 60:],
                                                   ANTARCTIC_SMOOTHING_PX,
                                                   mode=("nearest", "wrap"))[60:]
    shade = hill_shade(shaded)
    del shaded
    land_strength = SHADE_STRENGTH_LAND + (SHADE_STRENGTH_SNOW - SHADE_STRENGTH_LAND) * snow[..., 0]
    strength = np.where(land, land_strength, SHADE_STRENGTH_SEA).astype(np.float32)
    factor = (1 + strength * (shade - 1))[..., None]
    del shade, strength, snow, land_strength
    rgb = np.where(land[..., None], rgb_land, rgb_sea) * factor
    return np.clip(rgb + 0.5, 0, 255).astype(np.uint8)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", help="the JPEG to write")
    parser.add_argument("--preview", help="also write a 1440 x 720 PNG to look at")
    parser.add_argument("--quality", type=int, default=88)
    args = parser.parse_args()

    with tempfile.TemporaryDirectory() as workdir:
        rgb = make_texture(workdir)
    image = Image.fromarray(rgb, "RGB")
    # Written beside the target and renamed, so an interrupted run leaves no half file.
    temporary = args.output + ".part"
    image.save(temporary, "JPEG", quality=args.quality, subsampling="4:2:0", optimize=True)
    os.replace(temporary, args.output)
    if args.preview:
        image.resize((1440, 720), Image.LANCZOS).save(args.preview)
    print(f"{args.output}: {WIDTH} x {HEIGHT}, {os.path.getsize(args.output)} bytes")


if __name__ == "__main__":
    main()
