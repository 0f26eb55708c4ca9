#!/usr/bin/env python3
"""Checks that no source file in src/ (.h, .cpp) is longer than 600 lines, so that each file
keeps to one job a reader can take in. Exits 1 and names every file over the limit, longest
first.   scripts/check-file-size.py [LIMIT]   (default 600)"""
import os
import sys

limit = int(sys.argv[1]) if len(sys.argv) > 1 else 600
root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
over = []
for dirpath, _, files in os.walk(root):
    for name in files:
        if not name.endswith((".h", ".cpp")):
            continue
        path = os.path.join(dirpath, name)
        with open(path, "rb") as f:
            lines = sum(1 for _ in f)
        if lines > limit:
            over.append((lines, os.path.relpath(path, os.path.join(root, ".."))))
if over:
    print("Source files over %d lines (split each along the jobs it holds):" % limit)
    for lines, rel in sorted(over, reverse=True):
        print("  %s: %d lines" % (rel, lines))
    sys.exit(1)
print("File sizes: no file in src/ is over %d lines." % limit)
