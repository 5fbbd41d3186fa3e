#!/usr/bin/python3
"""Ends the real binary's exchange with the e2e servers at every step and checks that nothing
is lost: what the README promises for a failed run ("run it again").

usage: reliability_e2e.py KESTRO [--full] [--jobs N] [CASE...]
       (KESTRO_E2E_ENV names the fixture's env file; KESTRO_RELIABILITY=full is --full)

Cases:
  cut-pop3  cut-smtp  cut-nntp  cut-post
      A proxy between kestro and the real server cuts the connection after N bytes (both ways
      counted, over every connection of the run), then a clean run follows. N runs over every
      byte of the exchange with --full, over CUTS_IN_CI positions spread over it otherwise.
      POP3 fetches three mails, SMTP sends three files, NNTP fetches two groups, a post sends two
      files.
  kill
      One box with mail and news both ways, all through proxies: kestro is killed with SIGKILL
      when the proxies have forwarded a share of the bytes of a whole run (KILLS moments spread
      over it), then it runs again.
  disk-full
      The spool on a small tmpfs, with mail and news both ways: the run ends with exit code 1,
      and runs after the point program took what arrived bring everything.

After every cut or kill: a mail is gone from the server only when it is whole in the spool,
an outgoing file is gone only when the server has it, every spool file under a final name is
whole. After the clean run: every mail and article is in the spool exactly once, every outgoing
file was delivered and is gone. The last lines: the summary
  "cuts tried: N, kills tried: K, messages checked: M, lost L, stored twice T"
and "N passed, M failed".
"""
import argparse, os, pwd, shutil, signal, subprocess, sys, threading, time, traceback, uuid
from concurrent.futures import ThreadPoolExecutor

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import runner
from runner import (E, HOST, KESTRO, Program, bounded, check, header, new_groups, new_user,
                    nntp_has, port, rnews_articles)
from cutproxy import Budget, CutProxy

# Cut positions per case in the reduced set CI runs (spread over the exchange, both ends kept).
CUTS_IN_CI = 24
KILLS = 20
# A run that outlives this has hung.
RUN_TIMEOUT = 60
# The whole runner gives up after this; CTest's time-out lies above it. --full takes hours.
RUN_BOUND = 1500
FULL_RUN_BOUND = 8 * 3600

totals = {"cuts": 0, "kills": 0, "messages": 0, "lost": 0, "twice": 0}
totals_lock = threading.Lock()


def count(**kw):
    with totals_lock:
        for k, v in kw.items():
            totals[k] += v


def exactly_once(expected, got):
    """Counts expected ids (each to be there once) against got (ids found, repeats included)
    into the totals; True when each is there once."""
    lost = len(set(expected) - set(got))
    twice = sum(got.count(i) - 1 for i in set(got) if i in expected)
    count(messages=len(expected), lost=lost, twice=twice)
    return lost == 0 and twice == 0


# ---- what arrived ---------------------------------------------------------------------------

def unstuffed_message(script):
    """The message of a mail script (HELO, RCPT TO, DATA, dot-stuffed lines); None when the file
    is no whole mail script."""
    head = script.split(b"\r\n", 3)
    if len(head) < 4 or not head[0].startswith(b"HELO ") or not head[1].startswith(b"RCPT TO:<") \
            or head[2] != b"DATA":
        return None
    lines = head[3].split(b"\r\n")
    if lines[-1] != b"":
        return None  # the last line has no line end: cut off
    return b"".join((l[1:] if l.startswith(b".") else l) + b"\r\n" for l in lines[:-1])


def whole_batch(batch):
    pos = 0
    while pos < len(batch):
        nl = batch.find(b"\n", pos)
        if not batch.startswith(b"#! rnews ", pos) or nl < 0:
            return False
        try:
            pos = nl + 1 + int(batch[pos + 9:nl])
        except ValueError:
            return False
    return pos == len(batch)


class Spool:
    """The spool files under their final names (m<N>.msg) of a directory."""

    def __init__(self, *dirs):
        self.files = {}
        for d in dirs:
            for n in sorted(os.listdir(d)):
                if n.lower().endswith(".msg"):
                    self.files[d + n] = open(d + n, "rb").read()

    def mails(self):
        return [m for m in (unstuffed_message(b) for b in self.files.values()
                            if not b.startswith(b"#! rnews ")) if m is not None]

    def broken(self):
        """Final names whose file is not whole."""
        return [n for n, b in self.files.items()
                if not (whole_batch(b) if b.startswith(b"#! rnews ") else
                        unstuffed_message(b) is not None)]

    def articles(self):
        return rnews_articles([b for b in self.files.values() if b.startswith(b"#! rnews ")])


def message_id(message):
    return header(message, "Message-ID")


class Mailbox:
    """A Dovecot user's Maildir, filled and read here directly (Dovecot reads what it finds)."""
    MAIL = pwd.getpwnam("mail")

    def __init__(self, tag):
        self.user, self.password = new_user(tag)
        self.dir = os.path.join(E["KESTRO_E2E_POP3_MAILROOT"], self.user, "Maildir") + "/"

    def files(self):
        return [self.dir + sub + "/" + n for sub in ("new", "cur") for n in os.listdir(self.dir + sub)]

    def fill(self, mails):
        for f in self.files():
            os.remove(f)
        for n, data in enumerate(mails):
            name = "%d.M%dQ%d.kestro" % (time.time(), time.time_ns() % 1000000, n)
            with open(self.dir + "tmp/" + name, "wb") as f:
                f.write(data)
            os.chmod(self.dir + "tmp/" + name, 0o644)
            os.chown(self.dir + "tmp/" + name, self.MAIL.pw_uid, self.MAIL.pw_gid)
            os.rename(self.dir + "tmp/" + name, self.dir + "new/" + name)

    def ids(self):
        return [message_id(open(f, "rb").read()) for f in self.files()]


def mail(tag, n, size=1):
    mid = "<%s.%d@reliability.invalid>" % (tag, n)
    body = "".join(".dotted line %d of mail %d\r\nline %d %s\r\n" % (i, n, i, "x" * 60)
                   for i in range(size))
    return mid, ("From: sender@example.org\r\nTo: point@example.org\r\nSubject: mail %d\r\n"
                 "Message-ID: %s\r\n\r\n%send of mail %d\r\n" % (n, mid, body, n)).encode()


def outgoing_mail(rcpt, mid, n):
    return ("HELO point.example.org\r\nMAIL FROM:<point@example.org>\r\nRCPT TO:<%s>\r\nDATA\r\n"
            "From: point@example.org\r\nTo: %s\r\nSubject: outgoing %d\r\nMessage-ID: %s\r\n\r\n"
            "..dotted\r\nbody of %d\r\n.\r\nQUIT\r\n" % (rcpt, rcpt, n, mid, n)).encode()


def outgoing_news(group, mid, n):
    return ("From: Point <point@example.org>\r\nNewsgroups: %s\r\nSubject: post %d\r\n"
            "Message-ID: %s\r\n\r\nposted body %d\r\n" % (group, n, mid, n)).encode()


def sink_ids(user):
    """Message-IDs of what the SMTP server took for user, each once per delivery; the files go."""
    d = os.path.join(E["KESTRO_E2E_POP3_MAILROOT"], user, "Maildir", "new") + "/"
    ids = []
    for n in os.listdir(d):
        ids.append(message_id(open(d + n, "rb").read()))
        os.remove(d + n)
    return ids


def nntp_ids(group):
    with runner.nntplib.NNTP(HOST, port("NNTP"), timeout=10) as n:
        _, _, first, last, _ = n.group(group)
        if last < first:
            return []
        _, overviews = n.over((first, last))
        return [o["message-id"] for _, o in overviews]


# ---- the exchanges ----------------------------------------------------------------------------

class Exchange:
    """A box in a program directory of its own whose servers are reached through proxies, with
    the parts of the exchange it does (Pop3Fetch, SmtpSend, NntpFetch, NntpPost)."""

    def __init__(self, name, parts, spool=None):
        self.prog = Program(name, time_server=False)
        if spool:
            self.prog.spool = spool
        self.name = name
        self.proxies = []
        self.tries = 0
        self.parts = [part(self) for part in parts]
        keys = {"NntpGetNewsList": "disabled", "NntpPosting": "disabled"}
        for part in self.parts:
            keys.update(part.keys)
        lines = "".join("%s=%s\n" % kv for kv in keys.items())
        self.boxfile = self.prog.write(
            "box.cfg", "### Kestro Configuration File Version 1 ###\n" + lines)

    def proxy(self, server_port):
        p = CutProxy(server_port)
        self.proxies.append(p)
        return "%s:%d" % (HOST, p.port)

    def tag(self):
        return "%s%d" % (uuid.uuid4().hex[:8], self.tries)

    def reset(self):
        """A fresh try: an empty spool, the program's records gone, new messages."""
        self.tries += 1
        for n in os.listdir(self.prog.spool):
            os.remove(self.prog.spool + n)
        for n in os.listdir(self.prog.home):
            if n.startswith("batch") or n.startswith("dupes."):
                os.remove(self.prog.home + n)
        for part in self.parts:
            part.reset(self.tag())

    def run(self, budget, kill=False):
        """Runs the box under the budget; with kill, kestro is killed the moment the budget is
        spent. The exit code (negative for a signal)."""
        started = []
        if kill:
            budget.on_spent = lambda: [p.kill() for p in started]
        for p in self.proxies:
            p.budget = budget
        proc = bounded.popen([KESTRO, self.boxfile], env=self.prog.env, cwd=self.prog.home,
                             stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                             stderr=subprocess.DEVNULL)
        started.append(proc)
        return bounded.stop(proc, RUN_TIMEOUT)

    def after_cut(self, *taken):
        """(what, held, info) of the invariants after a run that was cut or killed; taken are
        the directories the point program moved what arrived to."""
        spool = Spool(self.prog.spool)
        return [("every spool file under a final name is whole", not spool.broken(),
                 spool.broken())] + [r for part in self.parts
                                     for r in part.after_cut(self.prog.spool, *taken)]

    def after_clean(self, code, *taken):
        """The same after a clean run that ended with code; a run killed before it may have left
        files under temporary names, which the clean run clears away."""
        left = sorted(n for n in os.listdir(self.prog.spool) if n.lower().endswith(".tmp"))
        return [("the clean run ends with exit 0", code == 0, code),
                ("no temporary file is left in the spool", not left, left)] + [
            r for part in self.parts for r in part.after_clean(self.prog.spool, *taken)]

    def stop(self):
        for p in self.proxies:
            p.stop()
        self.prog.cleanup()


class Pop3Fetch:
    """Three mails fetched by POP3."""
    MAILS = 3

    def __init__(self, ex):
        self.ex = ex
        self.mailbox = Mailbox("cut")
        self.keys = {"Pop3Server": ex.proxy(port("POP3")), "Pop3User": self.mailbox.user,
                     "Pop3Pass": self.mailbox.password, "Pop3Spool": ex.prog.spool,
                     "Pop3Timeout": "10"}

    def reset(self, tag, size=1):
        self.mails = dict(mail(tag, n, size) for n in range(1, self.MAILS + 1))
        self.mailbox.fill(list(self.mails.values()))

    def after_cut(self, *spools):
        stored = {message_id(m): m for m in Spool(*spools).mails()}
        gone = set(self.mails) - set(self.mailbox.ids())
        return [("a mail is gone from the server only when it is whole in the spool",
                 all(stored.get(i) == self.mails[i] for i in gone), sorted(gone))]

    def after_clean(self, *spools):
        mails = Spool(*spools).mails()
        got = [message_id(m) for m in mails]
        return [("every mail is in the spool exactly once", exactly_once(list(self.mails), got),
                 got),
                ("every mail arrived as sent", all(m in self.mails.values() for m in mails), None),
                ("the mailbox is empty", not self.mailbox.ids(), self.mailbox.ids())]


class SmtpSend:
    """Three outgoing mail files sent by SMTP."""
    FILES = 3

    def __init__(self, ex):
        self.ex = ex
        self.sink, _ = new_user("sink")
        self.keys = {"SmtpServer": ex.proxy(port("SMTP")), "SmtpSpool": ex.prog.spool,
                     "SmtpTimeout": "10"}

    def reset(self, tag):
        sink_ids(self.sink)
        self.files = {}
        self.delivered = []
        for n in range(1, self.FILES + 1):
            mid = "<%s.out%d@reliability.invalid>" % (tag, n)
            self.files["M%04d.OUT" % n] = mid
            with open(self.ex.prog.spool + "M%04d.OUT" % n, "wb") as f:
                f.write(outgoing_mail("%s@example.org" % self.sink, mid, n))

    def gone(self):
        return [n for n in self.files if not os.path.exists(self.ex.prog.spool + n)]

    def after_cut(self, *spools):
        self.delivered += sink_ids(self.sink)
        undelivered = [n for n in self.gone() if self.files[n] not in self.delivered]
        return [("an outgoing file is gone only when the server took it", not undelivered,
                 undelivered)]

    def after_clean(self, *spools):
        self.delivered += sink_ids(self.sink)
        lost = [m for m in self.files.values() if m not in self.delivered]
        count(messages=len(self.files), lost=len(lost))
        return [("every outgoing mail was delivered at least once", not lost, lost),
                ("every outgoing mail file is gone", len(self.gone()) == len(self.files),
                 self.gone())]


class NntpFetch:
    """Two groups of three articles fetched by NNTP, one task after the other."""
    GROUPS, ARTICLES = 2, 3

    def __init__(self, ex):
        self.ex = ex
        self.groups = new_groups("cut", self.GROUPS, self.ARTICLES)
        self.expected = [i for g in self.groups for i in nntp_ids(g)]
        self.keys = {"NntpServer": ex.proxy(port("NNTP")), "NntpSpool": ex.prog.spool,
                     "NntpTimeout": "10", "NntpMaxThreads": "1"}

    def reset(self, tag):
        self.ex.prog.write("box.rc", "".join("%s 0\n" % g for g in self.groups))

    def after_cut(self, *spools):
        return []

    def after_clean(self, *spools):
        got = [header(a, "Message-ID") for a in Spool(*spools).articles()]
        rc = open(self.ex.prog.dir + "box.rc", "rb").read().split()
        ends = [w for g in self.groups for w in (g.encode(), str(self.ARTICLES).encode())]
        return [("every article is in the spool exactly once", exactly_once(self.expected, got),
                 got),
                ("every group's line is at its end", rc == ends, rc),
                ("no pending record is left",
                 not [n for n in os.listdir(self.ex.prog.home) if n.endswith(".pending")], None)]


class NntpPost:
    """Two outgoing articles posted by NNTP."""
    FILES = 2

    def __init__(self, ex):
        self.ex = ex
        self.group = new_groups("post", 1, 0)[0]
        self.keys = {"NntpServer": ex.proxy(port("NNTP")), "NntpSpool": ex.prog.spool,
                     "NntpTimeout": "10", "NntpPosting": "enabled"}

    def reset(self, tag):
        self.files = {}
        for n in range(1, self.FILES + 1):
            mid = "<%s.post%d@reliability.invalid>" % (tag, n)
            self.files["N%04d.OUT" % n] = mid
            with open(self.ex.prog.spool + "N%04d.OUT" % n, "wb") as f:
                f.write(outgoing_news(self.group, mid, n))

    def gone(self):
        return [n for n in self.files if not os.path.exists(self.ex.prog.spool + n)]

    def after_cut(self, *spools):
        undelivered = [n for n in self.gone() if not nntp_has(self.files[n])]
        return [("a posted file is gone only when the server has the article", not undelivered,
                 undelivered)]

    def after_clean(self, *spools):
        held = [i for i in nntp_ids(self.group) if i in self.files.values()]
        return [("the server holds every posted article exactly once",
                 exactly_once(list(self.files.values()), held), held),
                ("every posted file is gone", len(self.gone()) == len(self.files), self.gone())]


SWEEPS = {"cut-pop3": Pop3Fetch, "cut-smtp": SmtpSend, "cut-nntp": NntpFetch,
          "cut-post": NntpPost}
EVERYTHING = [Pop3Fetch, SmtpSend, NntpFetch, NntpPost]


# ---- the cases --------------------------------------------------------------------------------

def report(label, results):
    """A failed check for each invariant that did not hold; True when all held."""
    failed = [(what, info) for what, held, info in results if not held]
    for what, info in failed:
        check("%s: %s" % (label, what), False, info)
    return not failed


def whole_run_bytes(ex):
    """The bytes of a whole exchange, from a clean run (whose invariants are checked)."""
    ex.reset()
    budget = Budget()
    code = ex.run(budget)
    check("%s: a whole run keeps every invariant" % ex.name,
          report("%s: whole run" % ex.name, ex.after_clean(code)))
    return budget.forwarded


def positions(total, full):
    if full or total < CUTS_IN_CI:
        return list(range(total + 1))
    step = total / (CUTS_IN_CI - 1)
    return sorted({round(i * step) for i in range(CUTS_IN_CI)})


def cut_sweep(kind, full, jobs):
    """Every cut position of one exchange, shared among `jobs` workers with exchanges (program
    directories, mailboxes, groups) of their own."""
    probe = Exchange(kind, [SWEEPS[kind]])
    try:
        total = whole_run_bytes(probe)
    finally:
        probe.stop()
    cuts = positions(total, full)
    print("     %s: %d bytes in a whole run, %d cuts" % (kind, total, len(cuts)), flush=True)
    kept = []

    def work(share):
        ex = Exchange(kind, [SWEEPS[kind]])
        try:
            for n in share:
                ex.reset()
                code = ex.run(Budget(n))
                held = report("%s, cut after %d bytes (exit %r)" % (kind, n, code), ex.after_cut())
                code = ex.run(Budget())
                held &= report("%s, cut after %d bytes, then a clean run" % (kind, n),
                               ex.after_clean(code))
                count(cuts=1)
                kept.append(held)
        finally:
            ex.stop()

    with ThreadPoolExecutor(jobs) as pool:
        list(pool.map(work, [cuts[i::jobs] for i in range(jobs)]))
    check("%s: every one of %d cuts kept every invariant" % (kind, len(cuts)),
          len(kept) == len(cuts) and all(kept), (kept.count(False), len(cuts)))


def case_kill(full, jobs):
    """SIGKILL at KILLS moments spread over a whole run of mail and news both ways, each
    followed by a clean run."""
    ex = Exchange("kill", EVERYTHING)
    try:
        total = whole_run_bytes(ex)
        kept = 0
        for i in range(1, KILLS + 1):
            at = total * i // (KILLS + 1)
            ex.reset()
            code = ex.run(Budget(at), kill=True)
            held = report("killed after %d of %d bytes" % (at, total),
                          [("the run was killed", code == -signal.SIGKILL, code)] + ex.after_cut())
            code = ex.run(Budget())
            held &= report("killed after %d bytes, then a clean run" % at, ex.after_clean(code))
            count(kills=1)
            kept += held
        check("kill: every one of %d kills kept every invariant" % KILLS, kept == KILLS, kept)
    finally:
        ex.stop()


def case_disk_full(full, jobs):
    """Mail and news both ways with the spool on a tmpfs too small for what is fetched: exit 1
    and nothing lost; once the point program has taken what arrived, later runs bring the rest."""
    if os.geteuid() != 0:
        print("SKIP disk full: mounting a small tmpfs needs root")
        return
    base = runner.tempfile.mkdtemp(prefix="kestro-diskfull-") + "/"
    spool, imported = base + "spool/", base + "imported/"
    os.makedirs(spool)
    os.makedirs(imported)
    if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=32k", "tmpfs", spool]).returncode:
        print("SKIP disk full: this machine refuses to mount a tmpfs")
        shutil.rmtree(base, ignore_errors=True)
        return
    ex = None
    try:
        ex = Exchange("diskfull", EVERYTHING, spool)
        pop3, smtp, fetch, post = ex.parts
        ex.reset()
        # Mails of some 13 KB: the spool holds the outgoing files and two of them at most.
        pop3.reset(ex.tag(), size=170)
        code = ex.run(Budget())
        check("disk full: the run ends with exit 1", code == 1, code)
        report("disk full", ex.after_cut())
        log = ex.prog.log("kestro.log")
        check("disk full: the log names the file and the reason",
              "konnte nicht geschrieben werden: No space left on device" in log, log[-600:])
        runs = 1
        while code != 0 and runs < 12:
            for n in os.listdir(spool):  # the point program takes what arrived
                if n.lower().endswith(".msg"):
                    shutil.move(spool + n, "%s%d-%s" % (imported, runs, n))
            code = ex.run(Budget())
            runs += 1
            report("disk full, run %d" % runs, ex.after_cut(imported))
        check("disk full: nothing lost, nothing twice after %d runs" % runs,
              report("disk full", ex.after_clean(code, imported)))
    finally:
        if ex:
            ex.stop()
        subprocess.run(["umount", spool])
        shutil.rmtree(base, ignore_errors=True)


CASES = {"cut-pop3": lambda full, jobs: cut_sweep("cut-pop3", full, jobs),
         "cut-smtp": lambda full, jobs: cut_sweep("cut-smtp", full, jobs),
         "cut-nntp": lambda full, jobs: cut_sweep("cut-nntp", full, jobs),
         "cut-post": lambda full, jobs: cut_sweep("cut-post", full, jobs),
         "kill": case_kill, "disk-full": case_disk_full}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("kestro")
    parser.add_argument("--full", action="store_true")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("cases", nargs="*")
    args = parser.parse_args()
    full = args.full or os.environ.get("KESTRO_RELIABILITY") == "full"
    bounded.give_up_after(FULL_RUN_BOUND if full else RUN_BOUND, "reliability_e2e.py")
    for name, fn in CASES.items():
        if args.cases and name not in args.cases:
            continue
        started = time.monotonic()
        try:
            fn(full, args.jobs)
        except Exception:
            check(name + " ran through", False, traceback.format_exc()[-1500:])
        print("     %s took %.0f s" % (name, time.monotonic() - started), flush=True)
    print("cuts tried: %(cuts)d, kills tried: %(kills)d, messages checked: %(messages)d, "
          "lost %(lost)d, stored twice %(twice)d" % totals)
    print("%d passed, %d failed" % (runner.passed, runner.failed))
    sys.exit(1 if runner.failed else 0)


if __name__ == "__main__":
    main()
