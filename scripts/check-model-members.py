#!/usr/bin/python3
"""check-model-members.py ROOT LIBRARY...: no member of a toolbar model class is defined above the
model. The model's classes are those declared at the top level of bars/model/*.h; each library
given (the built archives of the layers above the model) is read with `nm -C --defined-only`, and
every symbol it defines itself (not the weak copies of inline members every user of a header
gets) that belongs to a model class is a member defined in the wrong layer: the model's own
library would not hold it, and the linker could not tell that the model reaches up.

Prints each one ("library: object: Class::Member") and exits 1 when there is one;
"model members: N classes, M libraries, none defined above the model" otherwise."""
import glob
import os
import re
import subprocess
import sys

# A class or struct defined (not only declared) at the top level of a header.
CLASS = re.compile(r"^(?:class|struct)\s+(\w+)\b[^;{]*\{", re.M)
# nm's kinds of a symbol the object defines itself: code, data, read-only data, zeroed data.
OWN = set("TtDdRrBb")
# What a symbol of a class begins with: its members (and the lambdas inside them), its vtable,
# its type information.
PREFIXES = ("", "vtable for ", "typeinfo for ", "typeinfo name for ", "VTT for ",
            "non-virtual thunk to ", "virtual thunk to ", "guard variable for ")


def model_classes(root):
    names = set()
    for header in sorted(glob.glob(os.path.join(root, "bars", "model", "*.h"))):
        with open(header, encoding="utf-8") as f:
            names.update(CLASS.findall(f.read()))
    return names


def class_of(symbol, classes):
    for prefix in PREFIXES:
        if symbol.startswith(prefix):
            rest = symbol[len(prefix):]
            name = rest.split("::", 1)[0]
            if "::" in rest and name in classes:
                return rest.split("(", 1)[0]
    return None


def misplaced(library, classes):
    out = subprocess.run(["nm", "-C", "--defined-only", library], capture_output=True, text=True,
                         check=True).stdout
    found = []
    obj = os.path.basename(library)
    for line in out.splitlines():
        if line.endswith(":"):
            obj = line[:-1]
            continue
        parts = line.split(" ", 2)
        if len(parts) < 3 or parts[1] not in OWN:
            continue
        # An optimiser's local copy of an inline member ("[clone .isra.0]") is no definition.
        if "[clone " in parts[2]:
            continue
        member = class_of(parts[2], classes)
        if member:
            found.append((obj, member))
    return found


def main():
    if len(sys.argv) < 3:
        print(__doc__.strip().splitlines()[0], file=sys.stderr)
        return 2
    root, libraries = sys.argv[1], sys.argv[2:]
    classes = model_classes(root)
    if not classes:
        print("model members: no model classes found under %s/bars/model" % root,
              file=sys.stderr)
        return 2
    bad = set()
    for library in libraries:
        for obj, member in misplaced(library, classes):
            bad.add("%s: %s: %s" % (os.path.basename(library), obj, member))
    for line in sorted(bad):
        print(line)
    if bad:
        print("model members: %d defined above the model (define them in bars/model, or move "
              "them to a class of their own layer)" % len(bad))
        return 1
    print("model members: %d classes, %d libraries, none defined above the model"
          % (len(classes), len(libraries)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
