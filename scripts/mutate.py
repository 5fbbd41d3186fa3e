#!/usr/bin/python3
"""Measures the test suite by mutation: applies each mutation of scripts/mutations.txt alone to a
copy of the tree, builds what its tests need, runs them and prints which tests caught it; at the
end the score. Run it through scripts/mutate.sh (see --help there).

The copy and its build live in one work directory (build/mutate by default) that later runs
reuse: only files that changed are copied again, so every mutant is an incremental build (and
ccache makes putting the original file back cheap). The tree itself is never changed.

A mutation whose text is no longer found where the list says (the code moved on) is reported as
STALE and fails the run, so that the list is mended instead of silently measuring less."""
import argparse, os, re, shutil, signal, subprocess, sys, time

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
LIST = os.path.join(ROOT, "scripts", "mutations.txt")
KEYS = ("kind", "file", "in", "find", "replace", "tests")


class Mutation:
    def __init__(self, ident, line):
        self.id, self.line = ident, line
        self.values = {}

    def __getattr__(self, key):
        if key in KEYS:
            return self.values.get(key, "")
        raise AttributeError(key)

    def test_targets(self):
        return self.tests.split()


def parse_list(path):
    """Blocks of "key: value" lines, each opened by "[id]"; "#" starts a comment line. A value is
    the rest of its line as written (no escapes, so C++ text stays as it is in the source)."""
    mutations, current, errors = [], None, []
    for number, raw in enumerate(open(path, encoding="utf-8").read().split("\n"), 1):
        if raw.strip() == "" or raw.startswith("#"):
            continue
        head = re.fullmatch(r"\[([a-z0-9][a-z0-9-]*)\]", raw.strip())
        if head:
            current = Mutation(head.group(1), number)
            mutations.append(current)
            continue
        key, sep, value = raw.partition(":")
        if current is None or not sep or key not in KEYS or key in current.values:
            errors.append("%s:%d: not a line of a mutation: %s" % (path, number, raw))
            continue
        current.values[key] = value[1:] if value.startswith(" ") else value
    ids = [m.id for m in mutations]
    for m in mutations:
        for key in ("kind", "file", "find", "tests"):
            if not m.values.get(key):
                errors.append("%s:%d: [%s] has no %s" % (path, m.line, m.id, key))
        if "replace" not in m.values:
            errors.append("%s:%d: [%s] has no replace line" % (path, m.line, m.id))
        if ids.count(m.id) > 1:
            errors.append("%s:%d: [%s] is named twice" % (path, m.line, m.id))
    return mutations, errors


def mutated_text(m, tree):
    """(original bytes, mutated bytes) of the mutation's file, or raises LookupError saying why
    the mutation no longer applies."""
    path = os.path.join(tree, m.file)
    if not os.path.isfile(path):
        raise LookupError("%s does not exist" % m.file)
    text = open(path, "rb").read()
    find = m.find.encode()
    start = 0
    if m.values.get("in"):
        start = text.find(m.values["in"].encode())
        if start < 0:
            raise LookupError("%r not found in %s" % (m.values["in"], m.file))
        at = text.find(find, start)
    else:
        count = text.count(find)
        if count != 1:
            raise LookupError("%r found %d times in %s (add an \"in:\" anchor)" %
                              (m.find, count, m.file))
        at = text.find(find)
    if at < 0:
        raise LookupError("%r not found after %r in %s" % (m.find, m.values["in"], m.file))
    return text, text[:at] + m.replace.encode() + text[at + len(find):]


def tree_files():
    """The tree's files: what git tracks or would track; without git (an unpacked archive) every
    file outside the build directories."""
    try:
        out = subprocess.run(["git", "-C", ROOT, "ls-files", "-co", "--exclude-standard", "-z"],
                             check=True, capture_output=True).stdout
        names = out.decode().split("\0")
    except (OSError, subprocess.CalledProcessError):
        names = []
        for d, dirs, files in os.walk(ROOT):
            top = d == ROOT
            dirs[:] = [x for x in dirs if not (top and (x.startswith("build") or
                                                        x in (".git", ".cache")))
                       and x != "__pycache__"]
            names += [os.path.relpath(os.path.join(d, f), ROOT) for f in files
                      if not (top and f == ".git")]
    return [f for f in names if f and os.path.isfile(os.path.join(ROOT, f))]


def sync_copy(src):
    """Makes src a copy of the tree; files with unchanged content keep their time stamps."""
    wanted = set(tree_files())
    copied = 0
    for rel in wanted:
        a, b = os.path.join(ROOT, rel), os.path.join(src, rel)
        data = open(a, "rb").read()
        if os.path.isfile(b) and open(b, "rb").read() == data:
            continue
        os.makedirs(os.path.dirname(b), exist_ok=True)
        with open(b, "wb") as out:
            out.write(data)
        shutil.copymode(a, b)
        copied += 1
    for d, _, names in os.walk(src):
        for n in names:
            rel = os.path.relpath(os.path.join(d, n), src)
            if rel not in wanted:
                os.remove(os.path.join(d, n))
    return copied


def run(cmd, log, cwd=None, env=None, timeout=None):
    """Runs cmd with its output appended to log; after timeout seconds its whole process group
    is killed (a hung mutant's children too) and the result is -1."""
    with open(log, "a") as out:
        out.write("$ %s\n" % " ".join(cmd))
        out.flush()
        child = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=out, stderr=subprocess.STDOUT,
                                 start_new_session=True)
        try:
            return child.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(child.pid, signal.SIGKILL)
            child.wait()
            out.write("(gave up after %d s)\n" % timeout)
            return -1


def ctest(build, regex, args, log):
    """Names of the tests that failed, or None when no test matched."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", KESTRO_CLOCK="none")
    env.setdefault("ASAN_OPTIONS", "detect_leaks=1")
    start = os.path.getsize(log) if os.path.exists(log) else 0
    cmd = ["ctest", "-j", str(args.jobs), "--timeout", str(args.timeout), "--no-tests=error"]
    cmd += ["-L", "unit"] if regex is None else ["-R", regex]
    code = run(cmd, log, cwd=build, env=env, timeout=args.timeout * 20)
    with open(log, errors="replace") as f:
        f.seek(start)
        output = f.read()
    if "No tests were found" in output:
        return None
    # "(Skipped)" and "(Disabled)" tests did not run: they caught nothing.
    failed = re.findall(r"^\s*\d+ - (\S+) \((?!Skipped\)|Disabled\))", output, re.M)
    if code != 0 and not failed:
        failed = ["(ctest failed: see %s)" % log]
    return failed


def regex_of(targets):
    """The CTest names of the targets' tests: a GoogleTest executable's are "target.Suite.Test",
    a test added by name (a program on a real X server) is the target's own name, a fuzz
    target's corpus replay is "target_replay"."""
    return "^(%s)(\\.|_replay$|$)" % "|".join(re.escape(t) for t in targets)


def main():
    p = argparse.ArgumentParser(prog="scripts/mutate.sh", description=__doc__.split("\n\n")[0],
                                formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("ids", nargs="*", help="run only these mutations")
    p.add_argument("--check", action="store_true",
                   help="only check that every mutation still applies to the tree (no build)")
    p.add_argument("--list", action="store_true", help="list the mutations and their kinds")
    p.add_argument("--full", action="store_true",
                   help="run every unit test for each mutant, not only the ones listed with it")
    p.add_argument("--mutations", default=LIST,
                   help="the list of mutations (default scripts/mutations.txt)")
    p.add_argument("--work", default=os.path.join(ROOT, "build", "mutate"),
                   help="work directory for the copy and its build (default build/mutate)")
    p.add_argument("--jobs", type=int, default=4, help="build and test jobs (default 4)")
    p.add_argument("--timeout", type=int, default=120, help="seconds per test (default 120)")
    args = p.parse_args()

    mutations, errors = parse_list(args.mutations)
    for e in errors:
        print(e)
    if errors:
        return 2
    if args.ids:
        unknown = set(args.ids) - {m.id for m in mutations}
        if unknown:
            print("unknown mutation: " + " ".join(sorted(unknown)))
            return 2
        mutations = [m for m in mutations if m.id in args.ids]
    if args.list:
        for m in mutations:
            print("%-28s %-34s %s" % (m.id, m.kind, m.file))
        return 0

    stale = []
    for m in mutations:
        try:
            mutated_text(m, ROOT)
        except LookupError as e:
            stale.append(m)
            print("STALE    %s (%s): %s" % (m.id, m.kind, e))
    if args.check:
        print("%d mutations, %d stale" % (len(mutations), len(stale)))
        return 1 if stale else 0

    work = os.path.abspath(args.work)
    src, build, logs = (os.path.join(work, d) for d in ("src", "build", "logs"))
    os.makedirs(logs, exist_ok=True)
    for old in os.listdir(logs):
        os.remove(os.path.join(logs, old))
    copied = sync_copy(src)
    print("copy of the tree in %s (%d files updated)" % (src, copied), flush=True)
    setup_log = os.path.join(logs, "baseline.log")
    if not os.path.exists(os.path.join(build, "build.ninja")):
        code = run(["cmake", "-S", src, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Debug",
                    "-DKESTRO_SANITIZE=ON", "-DKESTRO_WERROR=ON", "-DKESTRO_BENCH=OFF"], setup_log)
        if code != 0:
            print("configuring failed: see " + setup_log)
            return 2
    live = [m for m in mutations if m not in stale]
    targets = sorted({t for m in live for t in m.test_targets()})
    print("building the unmutated copy ...", flush=True)
    build_cmd = ["cmake", "--build", build, "-j", str(args.jobs)]
    if run(build_cmd + ([] if args.full else ["--target"] + targets), setup_log) != 0:
        print("the unmutated copy does not build: see " + setup_log)
        return 2
    failed = ctest(build, None if args.full else regex_of(targets), args, setup_log)
    if failed is None or failed:
        print("the unmutated copy does not pass its tests (%s): see %s" %
              (", ".join(failed or ["no tests found"]), setup_log))
        return 2

    results = {"KILLED": [], "SURVIVED": [], "NOT BUILT": [], "NO TESTS": []}
    for n, m in enumerate(live, 1):
        log = os.path.join(logs, m.id + ".log")
        path = os.path.join(src, m.file)
        original, mutant = mutated_text(m, src)
        began = time.time()
        with open(path, "wb") as out:
            out.write(mutant)
        try:
            tg = m.test_targets()
            if run(build_cmd + ([] if args.full else ["--target"] + tg), log) != 0:
                status, caught = "NOT BUILT", []
            else:
                caught = ctest(build, None if args.full else regex_of(tg), args, log)
                status = "NO TESTS" if caught is None else "KILLED" if caught else "SURVIVED"
        finally:
            # A fresh time stamp: the next build compiles the original again (from ccache).
            with open(path, "wb") as out:
                out.write(original)
        results[status].append(m)
        print("[%2d/%d] %-9s %s (%s, %s) %.0f s" %
              (n, len(live), status, m.id, m.kind, m.file, time.time() - began), flush=True)
        for name in (caught or [])[:8]:
            print("           caught by " + name)
        if caught and len(caught) > 8:
            print("           ... and %d more (%s)" % (len(caught) - 8, log))
    # Whatever the last mutant left in the build is replaced by the original on the next build.
    run(build_cmd + ([] if args.full else ["--target"] + targets), setup_log)

    killed, measured = len(results["KILLED"]), len(results["KILLED"]) + len(results["SURVIVED"])
    print()
    print("Score: %d of %d mutants killed (%d%%)" % (killed, measured,
                                                     round(100 * killed / measured) if measured else 0))
    for status in ("SURVIVED", "NOT BUILT", "NO TESTS"):
        if results[status]:
            print("%s: %s" % (status, " ".join(m.id for m in results[status])))
    if stale:
        print("STALE (mend scripts/mutations.txt): " + " ".join(m.id for m in stale))
    return 0 if not (stale or results["NOT BUILT"] or results["NO TESTS"]) else 1


if __name__ == "__main__":
    sys.exit(main())
