#!/usr/bin/env python3
"""Checks that every include in src/ points down the layers, bottom to top:

  text -> store, ui -> session -> report -> kb -> consult -> verify -> import -> shell -> api -> testing
  -> draw -> lsp, web -> cli, gui, python

lsp/ (the language server) and web/ (the browser front end of `zuva serve`) are front ends like
cli/ and gui/, but the terminal program's main starts them, so they sit just below the others.
draw/ (pictures of graphs through Graphviz's library) serves the front ends and links nothing
of the core.

The public header folder include/zuva/ belongs to api/ ("zuva/..." counts as api's own), and
may include nothing of src/ (it is installed without the internals).

A folder may include its own headers and those of any lower layer; folders of one layer
(store and ui; cli and gui) may not include each other. Exits 1 and names every include
that runs up or sideways, and every folder of src/ the order does not place."""
import os
import re
import sys

LAYERS = [["text"], ["store", "ui"], ["session"], ["report"], ["kb"], ["consult"], ["verify"],
          ["import"], ["shell"], ["api"], ["testing"], ["draw"], ["lsp", "web"],
          ["cli", "gui", "python"]]
# Include prefixes that name another folder's headers: the public headers are the api layer's.
ALIASES = {"zuva": "api"}
RANK = {folder: i for i, layer in enumerate(LAYERS) for folder in layer}

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
bad = []
for folder in sorted(os.listdir(root)):
    path = os.path.join(root, folder)
    if not os.path.isdir(path):
        bad.append(f"src/{folder}: a file outside every layer folder")
        continue
    if folder not in RANK:
        bad.append(f"src/{folder}/: a folder the layer order does not place")
        continue
    for dirpath, _, files in os.walk(path):
        for name in files:
            if not name.endswith((".h", ".cpp")):
                continue
            file = os.path.join(dirpath, name)
            with open(file, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = re.match(r'\s*#\s*include\s+"([^"/]+)/', line)
                    if not m or m.group(1) == folder:
                        continue
                    target = ALIASES.get(m.group(1), m.group(1))
                    if target == folder:
                        continue
                    rel = os.path.relpath(file, os.path.join(root, ".."))
                    if target not in RANK:
                        bad.append(f"{rel}:{number}: includes {target}/, a folder outside the layers")
                    elif RANK[target] >= RANK[folder]:
                        bad.append(f"{rel}:{number}: {folder}/ includes {target}/, which is not below it")
public = os.path.join(root, "..", "include", "zuva")
if os.path.isdir(public):
    for name in sorted(os.listdir(public)):
        with open(os.path.join(public, name), encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                m = re.match(r'\s*#\s*include\s+"([^"]+)"', line)
                if m and not m.group(1).startswith("zuva/"):
                    bad.append(f"include/zuva/{name}:{number}: includes {m.group(1)}, which is not public")
if bad:
    print("Includes that do not point down the layers:")
    for b in bad:
        print("  " + b)
    sys.exit(1)
print("Layers: every include in src/ points down.")
