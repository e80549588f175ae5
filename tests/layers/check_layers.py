#!/usr/bin/env python3
"""Checks that every source under src/ includes only its own folder and the
layers below it: text, core, then console, then player and stats, then the
wiring and the platform sides, then the front-ends; nothing outside src/.
Prints each include that climbs or crosses, and exits 1 if there is any."""
import pathlib
import re
import sys

LAYERS = {
    "text": 0,
    "core": 1,
    "console": 2,
    "player": 3, "stats": 3,
    "wiring": 4, "windows": 4, "posix": 4,
    "app": 5, "terminal": 5, "viewer": 5,
}

src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
include = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/[^"]+"', re.M)
faults = []
for path in sorted(src.rglob("*")):
    if path.suffix not in (".cpp", ".h"):
        continue
    folder = path.relative_to(src).parts[0]
    for target in include.findall(path.read_text(errors="replace")):
        if target == folder:
            continue
        if target not in LAYERS:
            faults.append(f"{path.relative_to(src)} includes {target}/, which is not a folder of src/")
            continue
        if LAYERS[target] >= LAYERS[folder]:
            faults.append(f"{path.relative_to(src)} includes {target}/ (layer {LAYERS[target]} from {LAYERS[folder]})")
for fault in faults:
    print(fault)
sys.exit(1 if faults else 0)
