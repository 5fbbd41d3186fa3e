#!/usr/bin/python3
"""bounded.py: a child that outlives its time-out, or leaves a grandchild holding the output
pipes, is ended with its whole session, and a runner that gives up kills what it started.
Prints a line per check and "N passed, M failed"; exit status 1 when a check failed."""
import os, subprocess, sys, tempfile, time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "support"))
import bounded
from checks import check, finish


def running(pid):
    """True while pid runs (a zombie has ended)."""
    try:
        with open("/proc/%d/stat" % pid) as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except FileNotFoundError:
        return False


def ends(pid, bound=10.0):
    """True when pid has ended within the bound (the kernel takes a moment to reap)."""
    end = time.monotonic() + bound
    while running(pid):
        if time.monotonic() > end:
            return False
        time.sleep(0.02)
    return True


def read_pid(path, bound=10.0):
    end = time.monotonic() + bound
    while time.monotonic() < end:
        try:
            text = open(path).read().strip()
            if text:
                return int(text)
        except FileNotFoundError:
            pass
        time.sleep(0.02)
    raise RuntimeError("no pid in " + path)


def test_run_answers_and_checks(tmp):
    r = bounded.run(["sh", "-c", "cat; echo err >&2; exit 3"], 30, input=b"in")
    check("run: output, errors and exit code of the child",
          (r.stdout, r.stderr, r.returncode) == (b"in", b"err\n", 3), r)
    try:
        bounded.run(["false"], 30, check=True)
        check("run: check=True raises on a failed child", False)
    except subprocess.CalledProcessError:
        check("run: check=True raises on a failed child", True)


def test_run_kills_a_grandchild_that_holds_the_pipes(tmp):
    # The child ends at once; its background child keeps stdout open. Without killing the group
    # the runner waits for that grandchild forever.
    pidfile = os.path.join(tmp, "grandchild")
    try:
        bounded.run(["sh", "-c", "sleep 1000 & echo $! > %s" % pidfile], 1)
        check("run: a grandchild holding the pipes gives a time-out", False)
    except subprocess.TimeoutExpired:
        check("run: a grandchild holding the pipes gives a time-out", True)
    check("run: the grandchild is ended", ends(read_pid(pidfile)))


def test_run_kills_a_hanging_child_with_its_children(tmp):
    pidfile = os.path.join(tmp, "hanging")
    try:
        bounded.run(["sh", "-c", "sleep 1000 & echo $! > %s; wait" % pidfile], 1)
        check("run: a hanging child gives a time-out", False)
    except subprocess.TimeoutExpired:
        check("run: a hanging child gives a time-out", True)
    check("run: the hanging child's own child is ended", ends(read_pid(pidfile)))


def test_run_kills_what_moved_to_a_group_of_its_own(tmp):
    # timeout(1), as the fixture scripts use it below their own shell, puts itself and its
    # command into a new process group
    pidfile = os.path.join(tmp, "regrouped")
    try:
        bounded.run(["sh", "-c", "timeout 1000 sh -c 'sleep 1000 & echo $! > %s; wait'; :"
                     % pidfile], 1)
        check("run: a child in a group of its own gives a time-out", False)
    except subprocess.TimeoutExpired:
        check("run: a child in a group of its own gives a time-out", True)
    check("run: the regrouped grandchild is ended", ends(read_pid(pidfile)))


def test_stop_kills_the_group(tmp):
    pidfile = os.path.join(tmp, "stopped")
    p = bounded.popen(["sh", "-c", "sleep 1000 & echo $! > %s; wait" % pidfile])
    child = read_pid(pidfile)
    rc = bounded.stop(p, 0.2)
    check("stop: a child that does not end is killed", rc == -9, rc)
    check("stop: and its children with it", ends(child))
    p = bounded.popen(["true"])
    check("stop: a child that ends gives its exit code", bounded.stop(p, 30) == 0)


def test_give_up_kills_what_was_started(tmp):
    pidfile = os.path.join(tmp, "runner-child")
    script = ("import sys; sys.path.insert(0, %r); import bounded\n"
              "bounded.give_up_after(1, 'the sample runner')\n"
              "bounded.popen(['sh', '-c', 'sleep 1000 & echo $! > %s; wait']).wait()\n"
              % (HERE, pidfile))
    r = bounded.run([sys.executable, "-c", script], 60)
    out = r.stdout.decode()
    check("give up: the runner ends with exit 1", r.returncode == 1, (r.returncode, r.stderr))
    check("give up: it says what gave up and what it killed",
          "GAVE UP: the sample runner did not end within 1 s; killed: " in out, out)
    check("give up: the child's group is ended", ends(read_pid(pidfile)))


def main():
    for name, fn in sorted(globals().items()):
        if name.startswith("test_"):
            with tempfile.TemporaryDirectory(prefix="kestro-bounded-") as tmp:
                try:
                    fn(tmp)
                except Exception as e:
                    check(name + " ran through", False, e)
    finish()


main()
