#!/usr/bin/python3
"""How soon the program is gone after Alt+X, and how often a run writes the settings files.

usage: close.py KESTRO [--runs N]

Started without a display, the script runs itself again under xvfb-run, with openbox as the
window manager. Each close run starts kestro without arguments in a program directory and
registry of its own; once its main window is mapped and has stood for a second, xdotool presses
Alt+X. Measured from the key (before xdotool starts, so xdotool's own start counts against
Kestro) to the window gone from the screen (xdotool polled, a few ms apart) and to the process
ended. The first run of a registry stores the bar layout; the next ones start from it, the
everyday case. Then, on the offscreen platform, an unattended run of a box with nothing to do,
three times in one registry, under strace: every file renamed over a hive file is one write of
it. Prints one line per run and the medians.
"""
import os, shutil, statistics, subprocess, sys, tempfile, time

HERE = os.path.dirname(os.path.abspath(__file__))
XVFB_ENV = "KESTRO_CLOSE_BENCH_X"
HIVES = ("HKEY_CURRENT_USER.reg", "HKEY_LOCAL_MACHINE.reg")

args = sys.argv[1:]
runs = 5
if "--runs" in args:
    i = args.index("--runs")
    runs = int(args[i + 1])
    del args[i:i + 2]
if len(args) != 1:
    sys.exit(__doc__)
KESTRO = os.path.abspath(args[0])

if XVFB_ENV not in os.environ:
    argv = ["xvfb-run", "-a", "-n", str(1000 + os.getpid() % 50000),
            "-s", "-screen 0 1280x1024x24 -nolisten tcp", sys.executable,
            os.path.abspath(__file__), KESTRO, "--runs", str(runs)]
    sys.exit(subprocess.call(argv, env=dict(os.environ, **{XVFB_ENV: "1"})))


def xdotool(*a):
    return subprocess.run(["xdotool"] + [str(x) for x in a], capture_output=True,
                          timeout=30).stdout.decode().split()


def program_dir():
    d = tempfile.mkdtemp(prefix="kestro-close-")
    os.makedirs(d + "/home/reg")
    os.makedirs(d + "/spool")
    env = dict(os.environ, KESTRO_HOME=d + "/home/", KESTRO_REGISTRY_DIR=d + "/home/reg/",
               KESTRO_CLOCK="none", XDG_RUNTIME_DIR=d + "/home")
    return d, env


def wait_for(what, cond, seconds=60):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = cond()
        if value:
            return value
    raise SystemExit("waited %d s in vain for %s" % (seconds, what))


def close_run(env):
    p = subprocess.Popen([KESTRO], env=dict(env, QT_QPA_PLATFORM="xcb"), cwd=env["KESTRO_HOME"],
                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wid = wait_for("the main window", lambda: xdotool("search", "--onlyvisible", "--pid",
                                                          p.pid))[0]
        time.sleep(1.0)  # the start settles: first paint, timers
        xdotool("windowactivate", "--sync", wid)
        start = time.monotonic()
        xdotool("key", "alt+x")
        wait_for("the window to go",
                 lambda: not xdotool("search", "--onlyvisible", "--pid", p.pid), 30)
        gone = time.monotonic() - start
        p.wait(30)
        ended = time.monotonic() - start
        return gone, ended
    finally:
        if p.poll() is None:
            p.kill()
            p.wait()


def hive_writes(trace):
    counts = dict.fromkeys(HIVES, 0)
    for line in open(trace, errors="replace"):
        if "rename" not in line or "= 0" not in line:
            continue
        for hive in HIVES:
            if line.rstrip().split("= 0")[0].rstrip(") ").endswith(hive + '"'):
                counts[hive] += 1
    return counts


def unattended_run(d, env):
    box = d + "/empty.bfg"
    with open(box, "w") as f:
        f.write("GlobalSpool=%s/spool/\r\n" % d)
    trace = d + "/trace"
    start = time.monotonic()
    rc = subprocess.call(["strace", "-f", "-qq", "-e", "trace=rename,renameat,renameat2",
                          "-o", trace, KESTRO, box], env=dict(env, QT_QPA_PLATFORM="offscreen"),
                         cwd=env["KESTRO_HOME"], stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL, timeout=300)
    return rc, time.monotonic() - start, hive_writes(trace)


openbox = subprocess.Popen(["openbox"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    time.sleep(1.0)  # the window manager takes the screen
    load = os.getloadavg()[0]
    print("load %.1f at the start" % load)
    d, env = program_dir()
    try:
        results = []
        for n in range(runs + 1):
            gone, ended = close_run(env)
            print("close run %d%s: window gone %.0f ms, process ended %.0f ms after Alt+X"
                  % (n, " (no stored layout yet)" if n == 0 else "", gone * 1000, ended * 1000))
            if n:
                results.append((gone, ended))
        print("median of %d runs with a stored layout: window gone %.0f ms, process ended %.0f ms"
              % (runs, statistics.median(r[0] for r in results) * 1000,
                 statistics.median(r[1] for r in results) * 1000))
    finally:
        shutil.rmtree(d)
    d, env = program_dir()
    try:
        for n in range(3):
            rc, wall, writes = unattended_run(d, env)
            print("unattended empty run %d: exit %d, %.2f s, settings files written: %s"
                  % (n, rc, wall, ", ".join("%s %d" % kv for kv in writes.items())))
    finally:
        shutil.rmtree(d)
    print("load %.1f at the end" % os.getloadavg()[0])
finally:
    openbox.terminate()
    openbox.wait()
