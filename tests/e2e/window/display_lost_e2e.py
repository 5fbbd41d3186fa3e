#!/usr/bin/python3
"""The real kestro binary with its window on an X server of the test's own that goes away under
it (killed with SIGKILL, as a crash, a logout or a lost remote display end it), against the e2e
servers: kestro ends in order.

usage: display_lost_e2e.py KESTRO     (KESTRO_E2E_ENV names the fixture's env file)

Cases, each on an Xvfb of its own:
  unattended  kestro BOX with mail and news both ways through the reliability runs' proxies; the
              X server is killed when the proxies have forwarded a share of a whole run's bytes
              (three moments), and the proxies hold what comes after until kestro ended, so
              that the run is on when the display goes.
  window      kestro without arguments: the same box loaded through "Laden...", F7, the X server
              killed halfway through the run; then a session whose run is done, with the
              message viewer open on a mail that arrived, killed while it waits.
After each kill: kestro ends with exit code 1, says on standard error that the connection to the
display broke, and no sanitizer reports anything; a run that was on wrote why it stopped and its
end to the run log; a window session keeps its windows' placement in kestro.xml; and the files
are consistent: what the reliability runs check after a cut holds, and a clean run (without a
display) then brings everything exactly once. Prints a line per check and "N passed, M failed".
"""
import os, re, subprocess, sys, threading

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "run"))
sys.path.insert(0, os.path.join(HERE, ".."))
import bounded
import runner
from runner import check
from cutproxy import Budget
from reliability_e2e import EVERYTHING, Exchange, report, whole_run_bytes
from xtools import XServer, geometry, load_box, wait_for, window_named, xdotool

RUN_BOUND = 600
# A program whose display went away ends at once; one that outlives this has hung.
END_BOUND = 60
KILL_SHARES = (0.25, 0.5, 0.75)
SANITIZER_REPORTS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:",
                     "ERROR: UndefinedBehaviorSanitizer")
# Where the first mail of the incoming-mail list lies in the main window (its definition fixes
# it), and the viewer's title.
FIRST_MAIL = (80, 252)
VIEWER = "Nachricht betrachten"


class Moment(Budget):
    """Forwards every byte; `on_reached` runs once when `at` bytes have passed, and from then on
    what comes waits until release(): the exchange stays caught in the middle, its connections
    open, so that the program cannot finish it before it sees its display go."""

    def __init__(self, at, on_reached):
        super().__init__()
        self.at, self.on_reached, self.reached = at, on_reached, False
        self.released = threading.Event()

    def take(self, wanted):
        allowed = super().take(wanted)
        with self.lock:
            now = not self.reached and self.forwarded >= self.at
            self.reached = self.reached or now
            held = self.reached
        if now:
            self.on_reached()
        if held:
            self.released.wait(END_BOUND)
        return allowed

    def release(self):
        self.released.set()


def start_kestro(ex, display, *args):
    env = dict(ex.prog.env, DISPLAY=display,
               LSAN_OPTIONS="suppressions=" + os.path.join(HERE, "lsan.supp"))
    env.pop("QT_QPA_PLATFORM")
    return bounded.popen([runner.KESTRO] + list(args), env=env, cwd=ex.prog.home,
                         stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                         stderr=subprocess.PIPE)


def ended_in_order(label, kestro, xserver):
    """The checks of a program whose display was killed; its exit code."""
    code = bounded.stop(kestro, END_BOUND)
    err = kestro.stderr.read().decode("utf-8", "replace")
    check("%s: kestro ends with exit code 1" % label, code == 1, (code, err[-800:]))
    check("%s: kestro says that the connection to the display %s broke" % (label, xserver.display),
          "kestro: the connection to the display %s broke" % xserver.display in err, err[-800:])
    reports = [r for r in SANITIZER_REPORTS if r in err]
    check("%s: no sanitizer report" % label, not reports, (reports, err[-3000:]))
    return code


def run_log(ex, since=0):
    """What the run log holds, from the byte `since` on (the log grows from run to run)."""
    return ex.prog.log("kestro.log")[since:]


def run_ended(label, ex, display, since):
    log = run_log(ex, since)
    lost = "Verbindung zur Anzeige %s verloren: Tasks hart beenden" % display
    check("%s: the run log says why the run stopped, then ends as every run does" % label,
          lost in log and "Onlinezeit: " in log[log.find(lost):], log[-800:])


def placement_kept(label, ex, *sections):
    try:
        xml = open(ex.prog.home + "kestro.xml", encoding="utf-8", errors="replace").read()
    except FileNotFoundError:
        xml = ""
    missing = [s for s in sections if not re.search(r"<%s\b" % s, xml)]
    check("%s: kestro.xml keeps the placement of %s" % (label, ", ".join(sections)), not missing,
          (missing, xml[-600:]))


def files_consistent(label, ex):
    """After the kill the files hold what the reliability runs ask after a cut; a clean run
    without a display then brings everything exactly once."""
    held = report("%s, after the kill" % label, ex.after_cut())
    code = ex.run(Budget())
    held = report("%s, then a clean run" % label, ex.after_clean(code)) and held
    check("%s: the files are consistent, and a clean run brings everything" % label, held)


def case_unattended():
    ex = Exchange("display", EVERYTHING)
    try:
        total = whole_run_bytes(ex)
        for share in KILL_SHARES:
            label = "unattended, display killed after %d%% of a run" % (share * 100)
            ex.reset()
            since = len(run_log(ex))
            xserver = XServer()
            moment = Moment(int(total * share), xserver.kill)
            try:
                for p in ex.proxies:
                    p.budget = moment
                kestro = start_kestro(ex, xserver.display, ex.boxfile)
                ended_in_order(label, kestro, xserver)
            finally:
                moment.release()
                xserver.kill()
            run_ended(label, ex, xserver.display, since)
            files_consistent(label, ex)
    finally:
        ex.stop()


def window_session(ex, xserver, budget):
    """kestro without arguments on the display, the box loaded through "Laden..." and run with
    F7; the main window's id."""
    os.environ["DISPLAY"] = xserver.display
    for p in ex.proxies:
        p.budget = budget
    kestro = start_kestro(ex, xserver.display)
    main = wait_for("the main window", lambda: window_named("Orvalin Kestro V"))
    load_box(main, ex.boxfile)
    xdotool("mousemove", 0, 0, "key", "F7")
    return kestro, main


def case_window():
    ex = Exchange("display-window", EVERYTHING)
    try:
        total = whole_run_bytes(ex)
        # Halfway through a run started with F7.
        label = "window, display killed halfway through a run"
        ex.reset()
        since = len(run_log(ex))
        xserver = XServer()
        moment = Moment(total // 2, xserver.kill)
        try:
            kestro, _ = window_session(ex, xserver, moment)
            ended_in_order(label, kestro, xserver)
        finally:
            moment.release()
            xserver.kill()
        run_ended(label, ex, xserver.display, since)
        placement_kept(label, ex, "TFormMain")
        files_consistent(label, ex)

        # A run done, the message viewer open on a mail that arrived.
        label = "window, display killed with the message viewer open"
        ex.reset()
        since = len(run_log(ex))
        xserver = XServer()
        try:
            kestro, main = window_session(ex, xserver, Budget())
            wait_for("the run's end", lambda: "Onlinezeit: " in run_log(ex, since), 120, 0.2)
            left, top, _, _ = geometry(main)
            xdotool("mousemove", left + FIRST_MAIL[0], top + FIRST_MAIL[1], "click", "--repeat", 2,
                    "--delay", 80, 1)
            viewer = wait_for("the message viewer", lambda: window_named(VIEWER), 30)
            check("%s: the viewer opened" % label, viewer is not None)
            xserver.kill()
            ended_in_order(label, kestro, xserver)
        finally:
            xserver.kill()
        placement_kept(label, ex, "TFormMain", "TFormViewMessage")
        check("%s: everything had arrived" % label, report(label, ex.after_clean(0)))
    finally:
        ex.stop()


def main():
    bounded.give_up_after(RUN_BOUND, "display_lost_e2e.py")
    runner.run_cases((case_unattended, case_window))


if __name__ == "__main__":
    main()
