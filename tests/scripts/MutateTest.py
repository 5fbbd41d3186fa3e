#!/usr/bin/python3
"""scripts/mutate.sh --check: the committed mutations apply to the tree, and a mutation whose
text is gone, is ambiguous or is written wrongly is reported by name with a failing status.
Prints a line per check and "N passed, M failed"; exit status 1 when a check failed."""
import os, subprocess, sys, tempfile

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
from checks import check, finish


def mutate_check(*extra):
    r = subprocess.run([sys.executable, os.path.join(ROOT, "scripts", "mutate.py"), "--check"] +
                       list(extra), capture_output=True, text=True, timeout=60)
    return r.returncode, r.stdout + r.stderr


code, out = mutate_check()
check("the committed mutations all apply", code == 0 and " 0 stale" in out, out)

BLOCK = "[%s]\nkind: test\nfile: %s\n%sfind: %s\nreplace: x\ntests: none_test\n\n"
with tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False) as f:
    f.write(BLOCK % ("applies", "scripts/mutate.py", "", "def parse_list(path):"))
    f.write(BLOCK % ("anchored", "scripts/mutate.py", "in: def main():\n", "return 2"))
    f.write(BLOCK % ("gone", "scripts/mutate.py", "", "text that is nowhere at all"))
    f.write(BLOCK % ("twice", "scripts/mutate.py", "", "return 2"))
    f.write(BLOCK % ("lost-anchor", "scripts/mutate.py", "in: no such anchor\n", "return 2"))
    f.write(BLOCK % ("no-file", "scripts/gone.py", "", "x"))
code, out = mutate_check("--mutations", f.name)
check("stale mutations fail the check", code == 1 and "6 mutations, 4 stale" in out, out)
for ident in ("gone", "twice", "lost-anchor", "no-file"):
    check("%s is named as stale" % ident, ("STALE    %s " % ident) in out, out)
for ident in ("applies", "anchored"):
    check("%s is not stale" % ident, ("STALE    %s " % ident) not in out, out)

with open(f.name, "w") as g:
    g.write("[broken]\nkind: test\nfile: scripts/mutate.py\nfind: x\n")
code, out = mutate_check("--mutations", f.name)
check("a block without replace or tests is refused", code == 2 and "has no replace" in out
      and "has no tests" in out, out)
os.unlink(f.name)

finish()
