#!/usr/bin/env python3
"""Writes the settings file of a whole-process check run into a folder: a charges table of ten
bands. The call store beside it comes from make_store."""
import sys

folder = sys.argv[1]

bands = [
    ("Mon, Tue, Wed, Thu, Fri", "00:00:00 - 05:59:59", "0.05", "0.01", "0.1", "1"),
    ("Mon, Tue, Wed, Thu, Fri", "06:00:00 - 07:59:59", "0.1", "0.03", "0.2", "1"),
    ("Mon, Tue, Wed, Thu, Fri", "08:00:00 - 11:59:59", "0.1", "0.2", "0.5", "1"),
    ("Mon, Tue, Wed, Thu, Fri", "12:00:00 - 13:59:59", "0.1", "0.15", "0.5", "1"),
    ("Mon, Tue, Wed, Thu, Fri", "14:00:00 - 17:59:59", "0.1", "0.2", "0.5", "1"),
    ("Mon, Tue, Wed, Thu, Fri", "18:00:00 - 21:59:59", "0.1", "0.12", "0.3", "1"),
    ("Mon, Tue, Wed, Thu, Fri", "22:00:00 - 23:59:59", "0.05", "0.05", "0.2", "1"),
    ("Sat", "08:00:00 - 19:59:59", "0", "0.08", "0.25", "3"),
    ("Sun", "08:00:00 - 19:59:59", "0", "0.06", "0.25", "3"),
    ("The time not specified above", "00:00:00 - 23:59:59", "0.1", "0.05", "0", "0"),
]
with open(f"{folder}/dorvane.INI", "w", newline="") as ini:
    ini.write("[strgrdCost]\r\nCount=%d\r\n" % len(bands))
    for r, band in enumerate(bands, start=1):
        for c, cell in enumerate(band):
            ini.write(f"Cell{c}{r}={cell}\r\n")
