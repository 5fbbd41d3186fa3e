"""Bounded children for the e2e runners (the Python scripts that start the real binary or the
servers' helpers).

Every child runs in a process group of its own. When it takes longer than its time-out, the
whole group is killed, not just the child: a grandchild (a shell the program started, a helper
of a helper) keeps the output pipes open, and the runner would wait for it past any time-out.
`give_up_after(seconds)` bounds the whole runner the same way: when the time is up it names
what was running, kills every live group and exits 1, so CTest's own time-out never has to end
a runner whose children keep running.
"""
import os, signal, subprocess, sys

_live = {}  # pid -> (Popen, argv)


def _kill_group(p):
    try:
        os.killpg(p.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass


def kill_all():
    """Kills the process group of every child that is still running. Does not wait for them: it
    may run in a signal handler that interrupted a wait for one of them."""
    for p, _ in list(_live.values()):
        _kill_group(p)
    _live.clear()


def give_up_after(seconds, what="the run"):
    """Ends the runner with exit 1 after `seconds`, killing the groups of its live children."""
    def expired(signum, frame):
        running = ["%d %s" % (pid, " ".join(argv)[:120]) for pid, (_, argv) in _live.items()]
        print("GAVE UP: %s did not end within %d s%s" % (
            what, seconds, "; killed: " + ", ".join(running) if running else ""), flush=True)
        kill_all()
        sys.stdout.flush()
        os._exit(1)
    signal.signal(signal.SIGALRM, expired)
    signal.alarm(seconds)


def popen(argv, **kwargs):
    """subprocess.Popen in a process group of its own, ended by kill_all() and stop()."""
    p = subprocess.Popen(list(argv), start_new_session=True, **kwargs)
    _live[p.pid] = (p, [str(a) for a in argv])
    return p


def stop(p, timeout):
    """Waits up to `timeout` seconds for p; then kills its group. Returns the exit code."""
    try:
        return p.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        _kill_group(p)
        return p.wait()
    finally:
        _live.pop(p.pid, None)


def run(argv, timeout, input=None, check=False, **kwargs):
    """subprocess.run with output captured and a time-out that kills the child's whole group
    (subprocess.TimeoutExpired is raised then)."""
    p = popen(argv, stdin=subprocess.PIPE if input is not None else subprocess.DEVNULL,
              stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kwargs)
    try:
        out, err = p.communicate(input, timeout=timeout)
    except subprocess.TimeoutExpired:
        _kill_group(p)
        try:  # a grandchild that left the group may still hold the pipes: do not wait for it
            p.communicate(timeout=5)
        except subprocess.TimeoutExpired:
            pass
        p.wait()
        raise
    finally:
        _live.pop(p.pid, None)
    result = subprocess.CompletedProcess(p.args, p.returncode, out, err)
    if check:
        result.check_returncode()
    return result
