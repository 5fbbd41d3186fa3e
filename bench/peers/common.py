"""What every peer comparison shares: arguments, the Kestro build, the servers, measuring a
program run, checking what it received and printing the table.

Each comparison script starts its own e2e servers on 127.0.0.1 (tests/e2e/harness.sh) in a
temporary directory, fills them, runs every program several times on the same data, checks
that each run received everything (count, Message-IDs and a SHA-256 over the bodies) and only
then prints a time. A run that received less, more or other bytes ends the script with exit 1.
"""
import argparse, atexit, hashlib, os, re, shutil, signal, statistics, subprocess, sys, tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
HARNESS = os.path.join(ROOT, "tests", "e2e", "harness.sh")
BUILD_DIR = os.path.join(ROOT, "build", "bench-rel")
TIME = "/usr/bin/time"


class BenchError(Exception):
    """A run that failed or received the wrong data: the script stops without a time."""


def die(text):
    print("FAILED: " + text, file=sys.stderr, flush=True)
    sys.exit(1)


def say(text):
    print(text, file=sys.stderr, flush=True)


# ---- arguments, packages, build ------------------------------------------------------------

def parse_args(description, runs=3, flags=()):
    p = argparse.ArgumentParser(description=description,
                                formatter_class=argparse.RawDescriptionHelpFormatter)
    for flag, text in flags:
        p.add_argument(flag, action="store_true", help=text)
    p.add_argument("--kestro", help="the kestro binary (default: build a Release one in "
                                    "build/bench-rel)")
    p.add_argument("--runs", type=int, default=runs, help="runs per program (default %d)" % runs)
    p.add_argument("--port", type=int, default=26100,
                   help="first port of the servers' block (the harness moves on by 50 when taken)")
    p.add_argument("--keep", action="store_true", help="keep the temporary directories")
    return p.parse_args()


def need_root():
    if os.geteuid() != 0:
        die("the e2e servers need root (run as root or through sudo)")


def ensure_packages(packages):
    """Installs what the comparisons need when one of `packages` is missing: scripts/setup.sh
    bench, the one place that installs packages, in one apt-get run."""
    missing = [p for p in packages
               if subprocess.run(["dpkg-query", "-W", "-f=${Status}", p], capture_output=True,
                                 text=True).stdout != "install ok installed"]
    if not missing:
        return
    say("missing " + " ".join(missing) + ": running scripts/setup.sh bench")
    r = subprocess.run([os.path.join(ROOT, "scripts", "setup.sh"), "bench"], stdout=sys.stderr)
    if r.returncode != 0:
        die("scripts/setup.sh bench could not install " + " ".join(missing))


def kestro_binary(args):
    """The binary given with --kestro, else a Release build of the tree this script lies in."""
    if args.kestro:
        path = os.path.abspath(args.kestro)
        if not os.access(path, os.X_OK):
            die("not an executable: " + path)
        return path
    # the build needs Qt, GoogleTest and the compilers: setup.sh does nothing when all are there
    if subprocess.run([os.path.join(ROOT, "scripts", "setup.sh"), "bench"],
                      stdout=sys.stderr).returncode != 0:
        die("scripts/setup.sh bench failed")
    say("building kestro (Release) in " + BUILD_DIR)
    # KESTRO_TESTS stays on: some benchmark folders link GoogleTest and fail to configure
    # without it; only the kestro target is built either way.
    subprocess.run(["cmake", "-S", ROOT, "-B", BUILD_DIR, "-G", "Ninja",
                    "-DCMAKE_BUILD_TYPE=Release"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", BUILD_DIR, "--target", "kestro"], check=True,
                   stdout=subprocess.DEVNULL)
    global BUILT_FROM
    BUILT_FROM = head_revision()
    return os.path.join(BUILD_DIR, "bin", "kestro")


def machine():
    cpu = "?"
    for line in open("/proc/cpuinfo"):
        if line.startswith("model name"):
            cpu = line.split(":", 1)[1].strip()
            break
    mem = int(open("/proc/meminfo").readline().split()[1]) // 1024 // 1024
    os_name = "?"
    if os.path.exists("/etc/os-release"):
        m = re.search(r'PRETTY_NAME="([^"]*)"', open("/etc/os-release").read())
        os_name = m.group(1) if m else os_name
    return "%s, %d CPUs, %d GB RAM, %s, kernel %s" % (cpu, os.cpu_count(), mem, os_name,
                                                       os.uname().release)


def version(argv, name):
    """name and the first version number the program prints for argv."""
    try:
        out = subprocess.run(argv, capture_output=True, text=True, timeout=10)
        m = re.search(r"\d+(\.\d+)+", out.stdout + out.stderr)
        return "%s %s" % (name, m.group(0) if m else "?")
    except (OSError, subprocess.TimeoutExpired):
        return name + " ?"


def head_revision():
    return subprocess.run(["git", "-C", ROOT, "rev-parse", "--short", "HEAD"],
                          capture_output=True, text=True).stdout.strip() or "?"


BUILT_FROM = None   # the tree's revision when this script built the binary


def kestro_version(kestro):
    if BUILT_FROM:
        return "kestro built from %s" % BUILT_FROM
    return "kestro %s (the tree is at %s)" % (kestro, head_revision())


# ---- servers ---------------------------------------------------------------------------------

class Servers:
    """The e2e servers in a temporary directory of their own; stopped at exit."""

    def __init__(self, args):
        self.keep = args.keep
        self.dir = tempfile.mkdtemp(prefix="kestro-peers-")
        os.chmod(self.dir, 0o755)  # the servers switch to mail and news
        self.started = False
        atexit.register(self.stop)
        for sig in (signal.SIGINT, signal.SIGTERM):
            signal.signal(sig, lambda *_: sys.exit(130))
        say("starting the servers in %s (ports from %d)" % (self.dir, args.port))
        r = subprocess.run([HARNESS, "start_all", self.dir, str(args.port)], stdout=sys.stderr)
        self.started = True
        if r.returncode != 0:
            die("the servers did not start")
        self.env_file = os.path.join(self.dir, "e2e.env")
        self.E = dict(l.rstrip("\n").split("=", 1) for l in open(self.env_file)
                      if "=" in l and not l.startswith("#"))
        self.host = self.E["KESTRO_E2E_HOST"]
        os.environ["KESTRO_E2E_ENV"] = self.env_file

    def port(self, name):
        return int(self.E["KESTRO_E2E_%s_PORT" % name])

    def helper(self, name, *args, stdin=None):
        argv = self.E["KESTRO_E2E_%s" % name].split() + [str(a) for a in args]
        r = subprocess.run(argv, input=stdin, capture_output=True)
        if r.returncode != 0:
            die("%s failed: %s" % (" ".join(argv[:3]), r.stderr.decode(errors="replace")[-500:]))
        return r.stdout.decode(errors="replace")

    def stop(self):
        if self.started:
            self.started = False
            subprocess.run([HARNESS, "stop_all", self.dir], stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
            if not self.keep:
                shutil.rmtree(self.dir, ignore_errors=True)


def e2e_module():
    """tests/e2e/run/exchange_e2e.py (program directories, registry, boxes); needs the servers."""
    sys.path.insert(0, os.path.join(ROOT, "tests", "e2e", "run"))
    import exchange_e2e  # noqa: E402
    return exchange_e2e


def workdir(name, keep):
    d = tempfile.mkdtemp(prefix="kestro-peers-%s-" % name)
    os.chmod(d, 0o755)
    if not keep:
        atexit.register(shutil.rmtree, d, True)
    return d


# ---- measuring -------------------------------------------------------------------------------

class Result:
    def __init__(self, wall, cpu, rss_kb):
        self.wall, self.cpu, self.rss_kb = wall, cpu, rss_kb


def measure(argv, cwd=None, env=None, stdin_path=None, timeout=1800, ok_codes=(0,)):
    """Runs argv in a fresh process under /usr/bin/time: wall seconds (monotonic clock), CPU
    seconds (user + system of the process and every child it waited for) and peak resident
    memory (the largest of them)."""
    fd, out = tempfile.mkstemp(prefix="kestro-peers-time-")
    os.close(fd)
    stdin = open(stdin_path, "rb") if stdin_path else subprocess.DEVNULL
    try:
        start = time.monotonic()
        p = subprocess.run([TIME, "-q", "-f", "%U %S %M", "-o", out] + list(argv), cwd=cwd,
                           env=env, stdin=stdin, capture_output=True, timeout=timeout)
        wall = time.monotonic() - start
        fields = open(out).read().split()
    finally:
        if stdin_path:
            stdin.close()
        os.unlink(out)
    if p.returncode not in ok_codes:
        raise BenchError("%s exited with %d\n%s%s" % (os.path.basename(argv[0]), p.returncode,
                                                     p.stdout.decode(errors="replace")[-1500:],
                                                     p.stderr.decode(errors="replace")[-1500:]))
    user, system, rss = fields[-3:]
    return Result(wall, float(user) + float(system), int(rss))


# ---- checking what arrived -------------------------------------------------------------------

def split_message(data):
    """(headers, body) of a message in LF or CRLF form; the body with LF line ends."""
    data = data.replace(b"\r\n", b"\n")
    head, sep, body = data.partition(b"\n\n")
    return head, body


def header(head, name):
    want = name.lower().encode() + b":"
    for line in head.split(b"\n"):
        if line.lower().startswith(want):
            return line.split(b":", 1)[1].strip().decode("latin-1")
    return None


def by_message_id(messages, what):
    """{Message-ID: body} of messages (bytes each); a message without an ID or one that came
    twice fails the run."""
    out = {}
    for data in messages:
        head, body = split_message(data)
        mid = header(head, "Message-ID")
        if mid is None:
            raise BenchError("a %s without Message-ID: %r" % (what, data[:200]))
        if mid in out:
            raise BenchError("%s %s received twice" % (what, mid))
        out[mid] = body
    return out


def digest(bodies):
    """SHA-256 over the Message-IDs in order with their bodies."""
    h = hashlib.sha256()
    for mid in sorted(bodies):
        h.update(mid.encode() + b"\0" + bodies[mid].rstrip(b"\n") + b"\0")
    return h.hexdigest()


def verify(received, expected, what, program):
    """Fails the script unless received holds exactly the expected messages and bodies."""
    if len(received) != len(expected) or set(received) != set(expected):
        missing = sorted(set(expected) - set(received))[:3]
        extra = sorted(set(received) - set(expected))[:3]
        raise BenchError("%s received %d of %d %s (missing e.g. %s, unexpected e.g. %s)"
                         % (program, len(received), len(expected), what, missing, extra))
    got, want = digest(received), digest(expected)
    if got != want:
        bad = [m for m in expected if received[m].rstrip(b"\n") != expected[m].rstrip(b"\n")]
        raise BenchError("%s: body checksum %s, expected %s (%d bodies differ, e.g. %s)"
                         % (program, got[:16], want[:16], len(bad), bad[:2]))
    return got


def rnews_batch(data):
    """The articles of one rnews batch ("#! rnews SIZE" line, then SIZE bytes, repeated)."""
    arts, pos = [], 0
    while pos < len(data):
        nl = data.index(b"\n", pos)
        line = data[pos:nl].split()
        if line[:2] != [b"#!", b"rnews"] or len(line) != 3:
            raise BenchError("not an rnews batch at byte %d: %r" % (pos, data[pos:pos + 60]))
        size = int(line[2])
        arts.append(data[nl + 1:nl + 1 + size])
        pos = nl + 1 + size
    return arts


# ---- the table -------------------------------------------------------------------------------

def table(title, items, unit, rows, note=""):
    """rows: [(program, [Result...]), ...]; the first row is Kestro, the one the ratios use."""
    out = ["### " + title, ""]
    if note:
        out += [note, ""]
    out.append("| program | runs | wall s (median) | CPU s (median) | peak MB | %s/s | "
               "Kestro/peer wall | Kestro/peer CPU |" % unit)
    out.append("|---|---:|---:|---:|---:|---:|---:|---:|")
    base = None
    for name, results in rows:
        wall = statistics.median(r.wall for r in results)
        cpu = statistics.median(r.cpu for r in results)
        rss = max(r.rss_kb for r in results) / 1024
        if base is None:
            base = (wall, cpu)
        ratio_w = "%.2f" % (base[0] / wall) if not name.startswith("kestro") else "-"
        ratio_c = "%.2f" % (base[1] / cpu) if not name.startswith("kestro") and cpu > 0 else "-"
        out.append("| %s | %d | %.2f | %.2f | %.1f | %.0f | %s | %s |"
                   % (name, len(results), wall, cpu, rss, items / wall, ratio_w, ratio_c))
    out.append("")
    print("\n".join(out), flush=True)
