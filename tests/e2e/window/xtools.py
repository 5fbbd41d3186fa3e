"""What the e2e runners that drive kestro's window on a real X server share: xdotool on the
display of the environment ($DISPLAY), waiting for a condition, the windows by their titles,
where things are in the main window, an X server of a runner's own that it can kill, and one it
runs itself on to picture its screen."""
import os, shutil, signal, subprocess, sys, tempfile, time

import bounded

# Where things are in the main window (its definition fixes them): window points of the
# toolbar's "Laden..." button (its picture).
LOAD_BUTTON = (22, 57)


def xdotool(*args):
    return bounded.run(["xdotool"] + [str(a) for a in args], timeout=30).stdout.decode().strip()


def run_on_own_screen(fb_env, size, prefix):
    """Returns at once when this process runs on its own screen already (fb_env names the
    directory of its framebuffer, which Xvfb keeps in a file: -fbdir, read by screen.py);
    otherwise runs the script again on one, under xvfb-run, and exits with its code."""
    if fb_env in os.environ:
        return
    fbdir = tempfile.mkdtemp(prefix=prefix)
    # The free-display search starts at a number of this process's own: two runs started at
    # once would otherwise both find the same display and share one server. -noreset: the
    # server would reset when the last client (a kestro that ended) leaves, and the next
    # kestro's connect during that reset fails.
    argv = ["xvfb-run", "-a", "-n", str(1000 + os.getpid() % 50000),
            "-s", "-screen 0 %dx%dx24 -fbdir %s -nolisten tcp -noreset" % (tuple(size) + (fbdir,)),
            sys.executable, os.path.abspath(sys.argv[0])] + sys.argv[1:]
    status = subprocess.call(argv, env=dict(os.environ, **{fb_env: fbdir}))
    shutil.rmtree(fbdir, ignore_errors=True)
    sys.exit(status)


# The one script that knows when a window manager has started (tests/platform/core/x11).
WAIT_FOR_WM = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "platform",
                           "core", "x11", "wait-for-wm.sh")


def start_openbox():
    """Starts openbox on the display of the environment and returns its process once it manages
    windows (wait-for-wm.sh); raises when it does not."""
    wm = bounded.popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
    if bounded.run([WAIT_FOR_WM], timeout=30).returncode != 0:
        wm.kill()
        raise RuntimeError("openbox did not start")
    return wm


def wait_for(what, cond, seconds=60, step=0.05):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = cond()
        if value:
            return value
        time.sleep(step)
    raise AssertionError("waited %d s in vain for %s" % (seconds, what))


def window_named(prefix):
    """The id of the visible window whose title starts with prefix, or None."""
    out = xdotool("search", "--onlyvisible", "--name", "^" + prefix)
    return out.split()[0] if out else None


def geometry(wid):
    """(left, top, width, height) of the window on the screen."""
    values = dict(l.split("=", 1) for l in xdotool("getwindowgeometry", "--shell", wid).split())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def load_box(main, box):
    """Loads the box file into the main window through "Laden..." on its toolbar: the open
    dialog takes the name typed into it. True when the dialog came and went."""
    left, top, _, _ = geometry(main)
    xdotool("mousemove", left + LOAD_BUTTON[0], top + LOAD_BUTTON[1], "click", 1)
    dialog = wait_for("the open dialog", lambda: window_named("Konfiguration öffnen"))
    xdotool("type", "--delay", 20, box)
    xdotool("key", "Return")
    wait_for("the dialog closed", lambda: window_named("Konfiguration öffnen") is None)
    return dialog is not None


class XServer:
    """An Xvfb of the runner's own, on a display number the server picks (-displayfd), so that
    runs started at once never share one; kill() ends it as a crash or a lost connection
    would."""

    def __init__(self, screen=(1024, 768)):
        read, write = os.pipe()
        self.proc = bounded.popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "%dx%dx24" % screen,
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        with os.fdopen(read, "rb") as f:  # the server writes its number once it listens
            number = f.readline().strip()
        if not number:
            self.kill()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number.decode()

    def kill(self):
        """SIGKILL: the server goes at once, its clients see their connections break."""
        if self.proc.poll() is None:
            os.kill(self.proc.pid, signal.SIGKILL)
        bounded.stop(self.proc, 10)
