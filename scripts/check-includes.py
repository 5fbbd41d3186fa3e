#!/usr/bin/python3
"""check-includes.py [ROOT]: every #include "a/b.h" of the library folders runs down or across
its own unit, never up. The units and their floors are the table below, lowest first; a unit may
include its own headers and those of any unit on a lower floor, never one on its own floor or
above. Tests, benchmarks and fuzz targets are not looked at (they may include anything).

Prints each include that runs up ("file:line: includes header (unit -> unit)") and exits 1 when
there is one; "include check: N files, M includes, no include runs up" otherwise.

The includes that still run up today and are being taken apart are listed, one per line, in
scripts/check-includes-known.txt ("file -> header"); a listed include that no longer runs up
(or no longer exists) is reported too, so the list only ever shrinks."""
import os
import re
import sys

# (floor, unit): a unit is a folder prefix of the tree; the longest prefix names a file's unit.
FLOORS = [
    (0, "resources"),
    # the platform's floors, as README.md lists them
    (1, "platform/fs"),
    (2, "platform/classes"),
    (3, "platform/registry"),
    (4, "platform/system"),
    (5, "platform/gdi"),
    (6, "platform/core"),
    (7, "platform/shell"),
    (8, "platform/controls"),
    (9, "platform/menus"),
    (10, "platform/dialogs"),
    (11, "platform/net"),
    (12, "platform/forms"),
    (13, "platform/actions"),
    (14, "platform/widgets"),
    # the top folders
    (20, "netlib"),
    (21, "components"),
    (22, "htmlview"),
    (22, "terminal"),
    # the toolbar and menu framework, one way from its model up to customizing
    (22, "bars/model"),
    (23, "bars/layout"),
    (23, "bars/look"),
    (24, "bars/windows"),
    (25, "bars/customize"),
    (26, "bars"),
    (30, "app"),
]
# Folders whose sub-folders are one unit as seen from outside and free among themselves.
WHOLE = ("components", "htmlview", "app")
CHECKED = ("platform", "netlib", "components", "htmlview", "terminal", "bars", "app")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def unit_of(path):
    best = None
    for floor, unit in FLOORS:
        if path == unit or path.startswith(unit + "/"):
            if best is None or len(unit) > len(best[1]):
                best = (floor, unit)
    return best


def runs_up(src, dst):
    a, b = unit_of(src), unit_of(dst)
    if a is None or b is None or a[1] == b[1]:
        return None
    if a[1].split("/")[0] in WHOLE and a[1].split("/")[0] == b[1].split("/")[0]:
        return None
    if b[0] < a[0]:
        return None
    return "%s -> %s" % (a[1], b[1])


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                           os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
    known_path = os.path.join(root, "scripts", "check-includes-known.txt")
    known = set()
    if os.path.exists(known_path):
        with open(known_path) as f:
            known = {l.strip() for l in f if l.strip() and not l.startswith("#")}
    files = includes = 0
    bad, seen = [], set()
    for top in CHECKED:
        for dirpath, dirnames, filenames in os.walk(os.path.join(root, top)):
            dirnames.sort()
            for name in sorted(filenames):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(dirpath, name)
                rel = os.path.relpath(path, root).replace(os.sep, "/")
                files += 1
                with open(path, errors="replace") as f:
                    text = f.read()
                for m in INCLUDE.finditer(text):
                    header = m.group(1)
                    if "/" not in header:
                        continue
                    includes += 1
                    why = runs_up(rel, header)
                    if not why:
                        continue
                    pair = "%s -> %s" % (rel, header)
                    if pair in known:
                        seen.add(pair)
                        continue
                    line = text.count("\n", 0, m.start()) + 1
                    bad.append("%s:%d: includes %s (%s)" % (rel, line, header, why))
    for pair in sorted(known - seen):
        bad.append("%s: listed in check-includes-known.txt but no longer runs up; take it off"
                   % pair)
    for line in bad:
        print(line)
    if bad:
        print("include check: %d include(s) run up or are listed in vain" % len(bad))
        return 1
    print("include check: %d files, %d includes, no include runs up (%d still listed)"
          % (files, includes, len(known)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
