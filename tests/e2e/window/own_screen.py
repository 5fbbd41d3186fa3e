"""For scripts that drive the real program on an X server of their own: started without it, such
a script runs itself again under xvfb-run, with a screen whose framebuffer Xvfb keeps in a file
(-fbdir), so that pictures can be cut from it (screen.py)."""
import os, shutil, subprocess, sys, tempfile, time


def run_on_own_screen(fb_env, size, prefix):
    """Returns at once when this process runs on its own screen already (fb_env names the
    framebuffer's directory); otherwise runs the script again on one and exits with its code."""
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


def wait_for(what, cond, seconds=60, step=0.05):
    """The first true value of cond(), asked every step seconds; AssertionError after seconds."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = cond()
        if value:
            return value
        time.sleep(step)
    raise AssertionError("waited %d s in vain for %s" % (seconds, what))
