#!/usr/bin/python3
"""The real kestro binary with its window on an X server of the test's own that goes away under
it (killed with SIGKILL, as a crash, a logout or a lost remote display end it), against the e2e
servers: kestro ends in order.

usage: display_lost_e2e.py KESTRO     (KESTRO_E2E_ENV names the fixture's env file)

Cases, each on an Xvfb of its own:
  unattended  kestro BOX with mail and news both ways through the reliability runs' proxies; the
              X server is killed when the proxies have forwarded a share of a whole run's bytes
              (three moments), and the proxies hold what comes after until kestro ended, so
              that the run is on when the display goes; then they cut what they held, so that
              nothing kestro sent after the moment reaches a server while the files are checked.
  window      kestro without arguments: the same box loaded through "Laden...", F7, the X server
              killed halfway through the run; then a session whose run is done, with the
              message viewer open on a mail that arrived, killed while it waits.
After each kill: kestro ends with exit code 1, says on standard error that the connection to the
display broke, and no sanitizer reports anything; a run that was on wrote why it stopped and its
end to the run log; a window session keeps its windows' placement in kestro.xml; and the files
are consistent: what the reliability runs check after a cut holds, and a clean run (without a
display) then brings everything exactly once. Prints a line per check and "N passed, M failed";
a check that failed says what it waited for and what it saw instead.
"""
import os, re, subprocess, sys, threading, time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "run"))
sys.path.insert(0, os.path.join(HERE, ".."))
import bounded
import runner
from runner import check
from cutproxy import Budget
from reliability_e2e import EVERYTHING, Exchange, report, whole_run_bytes
from xtools import XServer, geometry, load_box, window_named, xdotool

RUN_BOUND = 600
# A program whose display went away ends at once; one that outlives this has hung.
END_BOUND = 60
# The proxies let go of what they held within this once kestro ended.
RELEASE_BOUND = 10
KILL_SHARES = (0.25, 0.5, 0.75)
SANITIZER_REPORTS = ("ERROR: AddressSanitizer", "ERROR: LeakSanitizer", "runtime error:",
                     "ERROR: UndefinedBehaviorSanitizer")
# Where the first mail of the incoming-mail list lies in the main window (its definition fixes
# it), and the viewer's title.
FIRST_MAIL = (80, 252)
VIEWER = "Nachricht betrachten"


class Moment(Budget):
    """Forwards every byte until `at` have passed; then `on_reached` runs once, and what comes
    from then on waits until release(): the exchange stays caught in the middle, its connections
    open, so that the program cannot finish it before it sees its display go. Released, what
    waited is dropped and its connection cut, as is any later one of the run: let through after
    kestro ended, the commands it had sent (a POP3 QUIT that deletes mails) reached the servers
    while the files were checked, and a mail file went under the check's reading."""

    def __init__(self, at, on_reached):
        super().__init__()
        self.at, self.on_reached, self.reached = at, on_reached, False
        self.released = threading.Event()
        self.waiting = 0
        self.let_go = threading.Condition(self.lock)

    def take(self, wanted):
        allowed = super().take(wanted)
        with self.lock:
            now = not self.reached and self.forwarded >= self.at
            self.reached = self.reached or now
            if not self.reached:
                return allowed
            self.waiting += 1
        if now:
            self.on_reached()
        self.released.wait(END_BOUND)
        with self.lock:
            self.waiting -= 1
            self.let_go.notify_all()
        return 0

    def release(self):
        """True once no connection waits any more: each was cut."""
        self.released.set()
        with self.lock:
            return self.let_go.wait_for(lambda: self.waiting == 0, RELEASE_BOUND)

    def state(self):
        with self.lock:
            return ("the display went after %d bytes" % self.at if self.reached else
                    "the display never went: the proxies forwarded %d bytes, it goes after %d" %
                    (self.forwarded, self.at))


class Stopped(Exception):
    """A wait of a case failed (its check says so): the case goes no further."""


def stops_quietly(case):
    def run():
        try:
            case()
        except Stopped:
            pass
    run.__name__ = case.__name__
    return run


def wait_until(label, what, cond, seconds, seen, counts=True):
    """cond()'s value once it is true (a passed check, when it counts); when `seconds` pass
    first, a failed check that names what it waited for and what seen() shows instead, and the
    case stops."""
    name = "%s: %s within %d s" % (label, what, seconds)
    started = time.monotonic()
    while True:
        value = cond()
        if value:
            if counts:
                check(name, True)
            return value
        if time.monotonic() - started >= seconds:
            check(name, False, "saw instead: %s" % seen())
            raise Stopped()
        time.sleep(0.05)


def shown(ex, since):
    """What a window session shows, for a failed wait: the visible windows and the run log."""
    try:
        ids = xdotool("search", "--onlyvisible", "--name", ".").split()
        windows = [xdotool("getwindowname", w) for w in ids]
    except Exception as e:  # the display may be gone
        windows = "unknown (%s)" % e
    return "windows %r, the run log ending %r" % (windows, run_log(ex, since)[-400:])


def start_kestro(ex, display, *args):
    env = dict(ex.prog.env, DISPLAY=display,
               LSAN_OPTIONS="suppressions=" + os.path.join(HERE, "lsan.supp"))
    env.pop("QT_QPA_PLATFORM")
    kestro = bounded.popen([runner.KESTRO] + list(args), env=env, cwd=ex.prog.home,
                           stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                           stderr=subprocess.PIPE)
    # Read as it comes: a sanitizer's long report must not fill the pipe and stall kestro.
    kestro.err = []
    kestro.reader = threading.Thread(target=lambda: kestro.err.append(kestro.stderr.read()),
                                     daemon=True)
    kestro.reader.start()
    return kestro


def ended_in_order(label, kestro, xserver, moment=None):
    """The checks of a program whose display was killed; its exit code (None: it was killed
    after it had not ended within END_BOUND)."""
    try:
        code = kestro.wait(END_BOUND)
    except subprocess.TimeoutExpired:
        code = None
    bounded.stop(kestro, 0)
    kestro.reader.join(RELEASE_BOUND)
    err = b"".join(kestro.err).decode("utf-8", "replace")
    ending = "%s, exit code %s" % ("did not end within %d s: killed" % END_BOUND
                                   if code is None else "ended", code)
    if moment:
        ending = "%s; %s" % (moment.state(), ending)
    check("%s: kestro ends with exit code 1" % label, code == 1, (ending, err[-800:]))
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


def released(label, moment):
    check("%s: the proxies cut what they held once kestro ended" % label, moment.release(),
          "%d connections still held after %d s" % (moment.waiting, RELEASE_BOUND))


def read_whole(label, read):
    """read()'s value; read again while a file vanishes under it (a server still at work on what
    it was sent before the moment may move or delete a mail file)."""
    vanished = []

    def attempt():
        try:
            return [read()]
        except FileNotFoundError as e:
            vanished.append(e.filename)
            return None

    return wait_until(label, "a reading of the files under which none vanishes", attempt,
                      RELEASE_BOUND, lambda: "files vanished: %r" % vanished[-5:], False)[0]


def files_consistent(label, ex):
    """After the kill the files hold what the reliability runs ask after a cut; a clean run
    without a display then brings everything exactly once."""
    held = report("%s, after the kill" % label, read_whole(label, ex.after_cut))
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
                ended_in_order(label, kestro, xserver, moment)
            finally:
                released(label, moment)
                xserver.kill()
            run_ended(label, ex, xserver.display, since)
            files_consistent(label, ex)
    finally:
        ex.stop()


def window_session(label, ex, xserver, budget, since):
    """kestro without arguments on the display, the box loaded through "Laden..." and run with
    F7; the main window's id."""
    os.environ["DISPLAY"] = xserver.display
    for p in ex.proxies:
        p.budget = budget
    kestro = start_kestro(ex, xserver.display)
    main = wait_until(label, "the main window shows", lambda: window_named("Orvalin Kestro V"),
                      END_BOUND, lambda: shown(ex, since))
    try:
        load_box(main, ex.boxfile)
    except AssertionError as e:
        check("%s: the box loads through \"Laden...\"" % label, False,
              "%s; saw instead: %s" % (e, shown(ex, since)))
        raise Stopped()
    xdotool("mousemove", 0, 0, "key", "F7")
    wait_until(label, "F7 starts the run", lambda: " gestartet" in run_log(ex, since), END_BOUND,
               lambda: shown(ex, since))
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
            kestro, _ = window_session(label, ex, xserver, moment, since)
            ended_in_order(label, kestro, xserver, moment)
        finally:
            released(label, moment)
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
            kestro, main = window_session(label, ex, xserver, Budget(), since)
            wait_until(label, "the run ends", lambda: "Onlinezeit: " in run_log(ex, since), 120,
                       lambda: shown(ex, since))
            left, top, _, _ = geometry(main)
            xdotool("mousemove", left + FIRST_MAIL[0], top + FIRST_MAIL[1], "click", "--repeat", 2,
                    "--delay", 80, 1)
            wait_until(label, "the viewer opens on a double click on the first mail",
                       lambda: window_named(VIEWER), 30, lambda: shown(ex, since))
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
    try:
        runner.run_cases((stops_quietly(case_unattended), stops_quietly(case_window)))
    finally:  # a case that stopped may leave its kestro or X server
        bounded.kill_all()


if __name__ == "__main__":
    main()
