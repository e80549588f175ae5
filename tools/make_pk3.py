#!/usr/bin/env python3
"""Packs the game-side files into one .pk3 (a zip the game reads its data from).

    make_pk3.py OUT.pk3 ARCHIVE_NAME=FILE [ARCHIVE_NAME=FILE ...]

The same inputs always give the same bytes: entries in name order, stored
uncompressed (the game reads stored and deflated entries; stored keeps the
bytes independent of the zlib version), one fixed timestamp, fixed
attributes, no extra fields.
"""
import os
import sys
import zipfile

FIXED_TIME = (2000, 1, 1, 0, 0, 0)


def main(argv):
    if len(argv) < 3:
        sys.stderr.write(__doc__)
        return 2
    entries = []
    for pair in argv[2:]:
        name, sep, path = pair.partition("=")
        if not sep or not name or name.startswith("/") or "\\" in name:
            sys.stderr.write(f"bad entry {pair!r}: want ARCHIVE_NAME=FILE\n")
            return 2
        entries.append((name, path))
    entries.sort(key=lambda entry: entry[0].lower())
    tmp = argv[1] + ".tmp"
    with zipfile.ZipFile(tmp, "w", compression=zipfile.ZIP_STORED) as pk3:
        for name, path in entries:
            info = zipfile.ZipInfo(name, date_time=FIXED_TIME)
            info.create_system = 0  # plain MS-DOS attributes: nothing of the build machine
            info.external_attr = 0
            info.compress_type = zipfile.ZIP_STORED
            with open(path, "rb") as source:
                pk3.writestr(info, source.read())
    os.replace(tmp, argv[1])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
