#!/usr/bin/env python3
"""Counts the string literals with Polish letters in src/ that are not marked for translation
(not the argument of tr(...) or N_(...)): a heuristic of how much of the program's text is
still Polish-only. Prints the count of each folder and the total.

Literals that must stay Polish in every language (table names of base files, record syntax,
lines of files a program reads back) are listed in po/fixed-texts.txt, or carry the comment
`// not translated: REASON` on their line, and are not counted. The folders in COMPLETE have every text marked: a literal found
there fails the run (exit 1) and is listed.

    unmarked-polish.py [--list FOLDER]   (--list prints each literal of FOLDER with its line)"""
import os
import re
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src")
POLISH = re.compile("[ąćęłńóśźżĄĆĘŁŃÓŚŹŻ]")
COMPLETE = ["api", "cli", "consult", "gui", "import", "kb", "lsp", "python", "report", "session", "testing", "text", "ui"]
FIXED_FILE = os.path.join(ROOT, "..", "po", "fixed-texts.txt")
LITERAL = re.compile(r'(u8|L|u|U)?"((?:[^"\\\n]|\\.)*)"')
MARK = re.compile(r'(?:\btr|\bN_)\s*\(\s*$')


def literals(path):
    """(line number, literal, marked) of each string literal outside comments."""
    with open(path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    out = []
    i, n, line = 0, len(text), 1
    last_end, last_marked = -1, False  # adjacent literals are one text, marked as its first
    while i < n:
        c = text[i]
        if c == "\n":
            line += 1
            i += 1
        elif text.startswith("//", i):
            j = text.find("\n", i)
            i = n if j < 0 else j
        elif text.startswith("/*", i):
            j = text.find("*/", i)
            j = n if j < 0 else j + 2
            line += text.count("\n", i, j)
            i = j
        elif c == "'":
            m = re.compile(r"'(?:[^'\\\n]|\\.)*'").match(text, i)
            i = m.end() if m else i + 1
        elif c == '"':
            if text.startswith('R"', i - 1):
                m = re.compile(r'"([^(]*)\(').match(text, i)
                end = text.find(")" + m.group(1) + '"', m.end())
                body = text[i:end]
                out.append((line, body, False, text[text.rfind("\n", 0, i) + 1:text.find("\n", i)]))
                line += body.count("\n")
                i = end + len(m.group(1)) + 2
                continue
            m = LITERAL.match(text, i)
            if not m:
                i += 1
                continue
            before = text[max(0, i - 40):i]
            line_start = text.rfind("\n", 0, i) + 1
            line_end = text.find("\n", i)
            marked = bool(MARK.search(before))
            if last_end >= 0 and not text[last_end:i].strip():
                marked = last_marked
            out.append((line, m.group(2), marked, text[line_start:line_end]))
            i = last_end = m.end()
            last_marked = marked
        else:
            i += 1
    return out


def fixed_texts():
    with open(FIXED_FILE, encoding="utf-8") as f:
        return {l.rstrip("\n") for l in f if l.strip() and not l.startswith("#")}


def main():
    fixed = fixed_texts()
    listing = sys.argv[2] if len(sys.argv) > 2 and sys.argv[1] == "--list" else None
    total, failed = 0, []
    for folder in sorted(os.listdir(ROOT)):
        path = os.path.join(ROOT, folder)
        if not os.path.isdir(path):
            continue
        count = 0
        for dirpath, _, files in os.walk(path):
            for name in sorted(files):
                if not name.endswith((".cpp", ".h")):
                    continue
                file = os.path.join(dirpath, name)
                for number, body, marked, source_line in literals(file):
                    if marked or not POLISH.search(body) or body in fixed or "// not translated" in source_line:
                        continue
                    count += 1
                    where = f"src/{folder}/{os.path.relpath(file, path)}:{number}: \"{body}\""
                    if folder == listing:
                        print(where)
                    if folder in COMPLETE:
                        failed.append(where)
        total += count
        print(f"unmarked Polish literals in src/{folder}: {count}")
    print(f"unmarked Polish literals in all: {total}")
    for f in failed:
        print(f"not marked in a folder whose texts are all marked: {f}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
