#!/usr/bin/env python3
"""Checks that every text marked for translation in src/ (tr("...") and N_("..."), extracted
by xgettext) has an English translation in po/en.po that is not fuzzy. Prints the number of
marked messages and of translated ones; exits 1 and lists the messages without a translation.

    po-check.py [--xgettext PATH] [--pot OUT]   (--pot keeps the extracted template)"""
import argparse
import os
import subprocess
import sys
import tempfile

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")


def unquote(s):
    s = s.strip()
    assert s.startswith('"') and s.endswith('"'), s
    out, i, body = [], 0, s[1:-1]
    escapes = {"n": "\n", "t": "\t", '"': '"', "\\": "\\", "r": "\r"}
    while i < len(body):
        c = body[i]
        if c == "\\" and i + 1 < len(body):
            out.append(escapes.get(body[i + 1], body[i + 1]))
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def read_po(path):
    """{msgid: (msgstr, fuzzy)} of a PO file (no plural forms, no contexts); entries are
    separated by blank lines."""
    entries = {}
    with open(path, encoding="utf-8") as f:
        blocks = f.read().split("\n\n")
    for block in blocks:
        fields, field, fuzzy = {}, None, False
        for line in block.splitlines():
            if line.startswith("#,") and "fuzzy" in line:
                fuzzy = True
            elif line.startswith("msgid ") or line.startswith("msgstr "):
                field, _, rest = line.partition(" ")
                fields[field] = unquote(rest)
            elif line.startswith('"') and field:
                fields[field] += unquote(line)
        if fields.get("msgid"):
            entries[fields["msgid"]] = (fields.get("msgstr", ""), fuzzy)
    return entries


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--xgettext", default="xgettext")
    ap.add_argument("--pot")
    args = ap.parse_args()
    sources = []
    for dirpath, _, files in os.walk(os.path.join(ROOT, "src")):
        sources += [os.path.relpath(os.path.join(dirpath, n), ROOT) for n in files if n.endswith((".cpp", ".h"))]
    sources.sort()
    with tempfile.TemporaryDirectory() as tmp:
        pot = args.pot or os.path.join(tmp, "zuva.pot")
        subprocess.run([args.xgettext, "--language=C++", "--from-code=UTF-8", "--keyword=tr", "--keyword=N_",
                        "--no-wrap", "--add-location=file", "-o", pot] + sources, cwd=ROOT, check=True)
        marked = read_po(pot) if os.path.exists(pot) else {}
    catalog = read_po(os.path.join(ROOT, "po", "en.po"))
    missing = [m for m in marked if m not in catalog or not catalog[m][0] or catalog[m][1]]
    unused = [m for m in catalog if m not in marked]
    print(f"marked messages: {len(marked)}")
    print(f"translated: {len(marked) - len(missing)}")
    if unused:
        print(f"translations of texts no longer marked: {len(unused)}")
    for m in missing:
        print(f"no English translation: {m!r}")
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
