#!/usr/bin/env python3
"""Writes the two largest inputs velkor-import is made for, for timing it (standard library only).

    make_large.py FOLDER

large.json  an EnzymeML document of about 10 MB: 384 measurements, each with a substrate course
            of 1,024 points (closed-form Michaelis-Menten, every 0.5 min) and a product course of
            640 points
wide.csv    a wide table of 384 curve columns and 1,024 rows (a time every 8 s)
"""
import json
import math
import os
import sys


def unit(kind, multiplier, scale):
    return {"kind": kind, "exponent": 1, "multiplier": multiplier, "scale": scale}


def substrate(s0, t, km=40.0, vmax=1.2):
    """The closed-form course, by Newton's method on w + ln w = ln(s0 / km) + (s0 - vmax t) / km."""
    target = math.log(s0 / km) + (s0 - vmax * t) / km
    w = target - math.log(target) if target > 1 else math.exp(target)
    for _ in range(60):
        w = max(w - (w + math.log(w) - target) * w / (w + 1), w / 16)
    return km * w


def main():
    folder = sys.argv[1]
    conc = {"name": "umol / l", "base_units": [unit("mole", 1.0, -6.0),
                                               {"kind": "litre", "exponent": -1, "multiplier": 1.0, "scale": 0.0}]}
    minutes = {"name": "min", "base_units": [unit("second", 60.0, 0.0)]}
    times = [0.5 * i for i in range(1024)]
    measurements = []
    for m in range(384):
        s0 = 10.0 + m
        course = [round(substrate(s0, t), 6) for t in times]
        entry = {"species_id": "s1", "prepared": s0, "data": course, "time": times,
                 "data_unit": conc, "time_unit": minutes, "data_type": "concentration"}
        product = dict(entry, species_id="p1", prepared=0.0, data=[round(s0 - c, 6) for c in course[:640]],
                       time=times[:640])
        measurements.append({"id": "m%d" % m, "name": "well %d" % m, "species_data": [entry, product]})
    doc = {"name": "large", "version": "2.0", "creators": [], "vessels": [], "measurements": measurements}
    with open(os.path.join(folder, "large.json"), "w") as f:
        json.dump(doc, f, separators=(",", ":"))
    with open(os.path.join(folder, "wide.csv"), "w") as f:
        f.write("Time (s)," + ",".join("%d uM" % (10 + c) for c in range(384)) + "\n")
        for r in range(1024):
            t = 8 * r
            f.write("%d," % t + ",".join("%.5f" % ((10 + c) * math.exp(-t / 3000.0)) for c in range(384)) + "\n")


if __name__ == "__main__":
    main()
