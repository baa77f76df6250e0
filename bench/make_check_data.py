#!/usr/bin/env python3
"""Writes the files of a whole-process check run into a folder: a call store of CALLS calls
(one every 47 minutes from 1 January 1990, 1 to 60 minutes long, in month sections, as the
program writes them) and a settings file with a charges table of ten bands."""
import datetime
import sys

folder, calls = sys.argv[1], int(sys.argv[2])

EPOCH = datetime.date(1899, 12, 30)
start = (datetime.date(1990, 1, 1) - EPOCH).days + 0.0
section = None
with open(f"{folder}/dorvane.DB", "w", newline="") as db:
    out = []
    for i in range(calls):
        start += 47.0 / 1440
        end = start + (1 + i % 60) / 1440.0 + (i % 37) / 86400.0
        day = EPOCH + datetime.timedelta(days=int(start))
        name = f"{day.year}-{day.month}"
        if name != section:
            section = name
            out.append(f"[{name}]\r\n")
        out.append(f"{start:.15g}={end:.15g}\r\n")
        if len(out) > 10000:
            db.write("".join(out))
            out.clear()
    db.write("".join(out))

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
