"""Bounded children for the e2e runners (the Python scripts that start the real binary or the
servers' helpers).

Every child runs in a session of its own. When it takes longer than its time-out, the whole
session is killed, not just the child: a grandchild (a shell the program started, a helper of a
helper) keeps the output pipes open, and the runner would wait for it past any time-out. The
session, not just the process group: timeout(1), which the fixture scripts use, moves itself
and its command into a group of their own. Daemons leave the session; they are stopped through
their pid files.
`give_up_after(seconds)` bounds the whole runner the same way: when the time is up it names
what was running, kills every live group and exits 1, so CTest's own time-out never has to end
a runner whose children keep running.
"""
import os, signal, subprocess, sys

_live = {}  # pid -> (Popen, argv)


def _session_members(sid):
    pids = []
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            with open("/proc/%s/stat" % name) as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:  # ended meanwhile
            continue
        if int(fields[3]) == sid:  # state, ppid, pgrp, session
            pids.append(int(name))
    return pids


def _kill_group(p):
    """Kills p's session: its group at once, then whatever else is still in the session (a
    second pass catches what forked during the first)."""
    try:
        os.killpg(p.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass
    for _ in range(2):
        for pid in _session_members(p.pid):
            try:
                os.kill(pid, signal.SIGKILL)
            except (ProcessLookupError, PermissionError):
                pass


def kill_all():
    """Kills the session of every child that is still running. Does not wait for them: it
    may run in a signal handler that interrupted a wait for one of them."""
    for p, _ in list(_live.values()):
        _kill_group(p)
    _live.clear()


def give_up_after(seconds, what="the run", cleanup=None):
    """Ends the runner with exit 1 after `seconds`, killing the sessions of its live children.
    `cleanup`, when given, runs after that (to stop servers that left their group)."""
    def expired(signum, frame):
        running = ["%d %s" % (pid, " ".join(argv)[:120]) for pid, (_, argv) in _live.items()]
        print("GAVE UP: %s did not end within %d s%s" % (
            what, seconds, "; killed: " + ", ".join(running) if running else ""), flush=True)
        kill_all()
        if cleanup:
            try:
                cleanup()
            except Exception as e:
                print("GAVE UP: cleaning up failed: %s" % e, flush=True)
        sys.stdout.flush()
        os._exit(1)
    signal.signal(signal.SIGALRM, expired)
    signal.alarm(seconds)


def popen(argv, **kwargs):
    """subprocess.Popen in a session of its own, ended by kill_all() and stop()."""
    p = subprocess.Popen(list(argv), start_new_session=True, **kwargs)
    _live[p.pid] = (p, [str(a) for a in argv])
    return p


def stop(p, timeout):
    """Waits up to `timeout` seconds for p; then kills its session. Returns the exit code."""
    try:
        return p.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        _kill_group(p)
        return p.wait()
    finally:
        _live.pop(p.pid, None)


def run(argv, timeout, input=None, check=False, **kwargs):
    """subprocess.run with output captured and a time-out that kills the child's whole session
    (subprocess.TimeoutExpired is raised then)."""
    p = popen(argv, stdin=subprocess.PIPE if input is not None else subprocess.DEVNULL,
              stdout=subprocess.PIPE, stderr=subprocess.PIPE, **kwargs)
    try:
        out, err = p.communicate(input, timeout=timeout)
    except subprocess.TimeoutExpired:
        _kill_group(p)
        try:  # a daemon that left the session may still hold the pipes: do not wait for it
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
