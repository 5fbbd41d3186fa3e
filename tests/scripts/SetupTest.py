#!/usr/bin/python3
"""scripts/setup.sh is the one place that installs packages: every package a test fixture or a
benchmark asks for is in one of its sets, and nothing outside scripts/ runs apt-get.
Prints a line per check and "N passed, M failed"; exit status 1 when a check failed."""
import os, re, subprocess, sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "support"))
from checks import check, finish


def setup_set(name):
    out = subprocess.run([os.path.join(ROOT, "scripts", "setup.sh"), "list", name], check=True,
                         capture_output=True, text=True, timeout=60).stdout
    return set(out.split())


def files(top, suffixes):
    for d, _, names in os.walk(os.path.join(ROOT, top)):
        for n in sorted(names):
            if n.endswith(suffixes):
                yield os.path.join(d, n)


def named_in(paths, pattern):
    """{package: first file} for the package names that `pattern` (one group) finds."""
    found = {}
    for path in paths:
        for m in re.finditer(pattern, open(path, encoding="utf-8").read(), re.M):
            for pkg in re.findall(r"[a-z0-9][a-z0-9.+-]+", m.group(1)):
                found.setdefault(pkg, os.path.relpath(path, ROOT))
    return found


sets = {name: setup_set(name) for name in ("run", "demo", "all", "bench")}
check("each set holds the one before it (run, demo, all, bench)",
      sets["run"] <= sets["demo"] <= sets["all"] <= sets["bench"])
check("the run set has no test servers", "inn2" not in sets["run"] and "inn2" in sets["demo"])

fixtures = named_in(files("tests", (".sh",)), r"^\s*require_packages\s+([^#\n;|&]+)")
check("the fixtures name the packages they need", {"inn2", "dante-server"} <= set(fixtures),
      sorted(fixtures))
missing = {p: f for p, f in fixtures.items() if p not in sets["all"]}
check("setup.sh all installs every package a fixture needs", not missing, missing)

peers = named_in(files("bench", (".py",)), r"ensure_packages\(\[([^\]]*)\]")
missing = {p: f for p, f in peers.items() if p not in sets["bench"] and p != "g++"}
check("setup.sh bench installs every package a benchmark needs", peers and not missing, missing)

runs = []
for path in files(".", (".sh", ".py", ".cmake", ".txt", ".cpp", ".h")):
    rel = os.path.relpath(path, ROOT)
    if rel.startswith(("scripts/", "build", ".git/")):
        continue
    for no, line in enumerate(open(path, encoding="utf-8", errors="replace"), 1):
        if re.search(r"""(^|[\s;&|(`"'\[])apt-get["']?,?\s+["']?(install|update|-)""", line):
            runs.append("%s:%d" % (rel, no))
check("nothing outside scripts/ runs apt-get", not runs, runs)

finish()
