#!/usr/bin/python3
"""Runs the real kestro binary unattended against the scripted and hostile servers of
fake_servers.py: what a reliability tester does to it.

usage: stress_test.py KESTRO [CASE...]

Every case gets a program directory of its own. Prints a line per check and
"N passed, M failed"; exit status 1 when a check failed.
"""
import glob
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from fake_servers import HOST, Hostile, NewsServer, make_article, message_id  # noqa: E402

KESTRO = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else ""
passed = failed = 0
# Every article a case expected to arrive exactly once: how many, how many never arrived, how
# many arrived more than once. The summary line at the end gives the totals.
articles = {"checked": 0, "lost": 0, "twice": 0}
# The exit code of a run that ended at the exit point KESTRO_EXIT_AT names (app/engine/ExitPoints.h).
EXIT_POINT_CODE = 86
# The steps of storing a news batch, in their order.
STORE_STEPS = ("batch-complete", "batch-recorded", "batch-named", "group-list-saved",
               "dupes-saved", "record-removed")
# A run that outlives this has hung: the harness kills it and the check fails.
HANG_LIMIT = int(os.environ.get("STRESS_HANG_LIMIT", "240"))
# Peak memory of a run against an endless reply: the largest reply limit of the clients (256 MB)
# held once, plus the program with its window (about 90 MB of the sanitizer build's peak goes to
# the window's widgets, fonts and bars) and what the sanitizers of a test build hold on to (shadow
# memory, freed blocks in quarantine): the highest measured is 570 MB. A message that is copied
# as it grows, or a copy made of every line, goes past it under the sanitizers.
MEMORY_LIMIT_MB = 640
# How long past its time-out a run against a dripping server may take: the start and end of the
# program and a timer tick, with room for a loaded machine.
DRIP_SLACK = 10


def check(name, cond, info=""):
    global passed, failed
    passed, failed = (passed + 1, failed) if cond else (passed, failed + 1)
    print(("PASS " if cond else "FAIL ") + name + ("" if cond or info == "" else " -- %r" % (info,)),
          flush=True)
    return cond


def exactly_once(expected, got):
    """Counts expected (ids each to arrive once) against got (the ids that arrived, repeats
    included) into the totals; True when every one arrived once and nothing else came."""
    lost = len(set(expected) - set(got))
    twice = len(got) - len(set(got))
    articles["checked"] += len(expected)
    articles["lost"] += lost
    articles["twice"] += twice
    return lost == 0 and twice == 0 and set(got) == set(expected)


class Result:
    def __init__(self, code, rss_mb, stderr, wall):
        self.code, self.rss_mb, self.stderr, self.wall = code, rss_mb, stderr, wall


class Program:
    """A program directory (registry, run log, dupe files) inside a point directory (boxes,
    group lists, spool)."""

    def __init__(self, name):
        self.dir = tempfile.mkdtemp(prefix="kestro-stress-%s-" % name) + "/"
        self.home = self.dir + "kestro/"
        self.spool = self.dir + "spool/"
        os.makedirs(self.spool)
        reg = self.home + "reg/"
        os.makedirs(reg)
        values = [('"EventLog"', "dword:00000001"), ('"ThreadLog"', "dword:00000000"),
                  ('"DebugLog"', "dword:00000000"), ('"CrosspointDir"', '""'),
                  ('"TimeServer"', '""'), ('"MaxThreads"', "dword:00000008")]
        with open(reg + "HKEY_LOCAL_MACHINE.reg", "w") as f:
            f.write("; Kestro registry hive, version 1\n\n[]\n\n[SOFTWARE]\n\n[SOFTWARE\\Orvalin]\n\n"
                    "[SOFTWARE\\Orvalin\\Kestro]\n")
            f.writelines("%s=%s\n" % kv for kv in values)
        self.env = dict(os.environ, KESTRO_HOME=self.home, KESTRO_REGISTRY_DIR=reg,
                        KESTRO_CLOCK="none", QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=self.home)

    def write(self, name, data):
        with open(self.dir + name, "wb") as f:
            f.write(data if isinstance(data, bytes) else data.replace("\n", "\r\n").encode("latin-1"))
        return self.dir + name

    def box(self, name, **keys):
        """A box in our own format; keys as KEY=value lines (servers as host:port)."""
        keys.setdefault("NntpSpool", self.spool)
        keys.setdefault("Pop3Spool", self.spool)
        keys.setdefault("NntpGetNewsList", "disabled")
        keys.setdefault("NntpPosting", "disabled")
        lines = "".join("%s=%s\n" % kv for kv in keys.items())
        return self.write(name + ".cfg", "### Kestro Configuration File Version 1 ###\n" + lines)

    def start(self, *args, exit_at=None):
        env = dict(self.env, KESTRO_EXIT_AT=exit_at) if exit_at else self.env
        return subprocess.Popen([KESTRO] + list(args), env=env, cwd=self.home,
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE)

    def wait(self, proc):
        """Waits for the run; its exit code (None when it hung), peak memory and stderr."""
        start = time.monotonic()
        timer = threading.Timer(HANG_LIMIT, lambda: proc.kill())
        timer.start()
        err = []
        reader = threading.Thread(target=lambda: err.append(proc.stderr.read()))
        reader.start()
        _, status, usage = os.wait4(proc.pid, 0)
        proc.returncode = os.waitstatus_to_exitcode(status)
        hung = not timer.is_alive()
        timer.cancel()
        reader.join()
        code = None if hung else proc.returncode
        return Result(code, usage.ru_maxrss / 1024, err[0].decode("utf-8", "replace"),
                      time.monotonic() - start)

    def run(self, *args, exit_at=None):
        return self.wait(self.start(*args, exit_at=exit_at))

    def log(self):
        try:
            return open(self.home + "kestro.log", "rb").read()
        except FileNotFoundError:
            return b""

    def batches(self, spool=None):
        spool = spool or self.spool
        return [open(spool + n, "rb").read() for n in sorted(os.listdir(spool))
                if n.lower().endswith(".msg")]

    def leftovers(self, spool=None):
        spool = spool or self.spool
        return [n for n in os.listdir(spool) if n.lower().endswith(".tmp")]

    def cleanup(self):
        shutil.rmtree(self.dir, ignore_errors=True)


def articles_in(batches):
    """The articles of rnews batches."""
    out = []
    for data in batches:
        pos = 0
        while pos < len(data) and data.startswith(b"#! rnews ", pos):
            nl = data.index(b"\n", pos)
            size = int(data[pos + 9:nl])
            out.append(data[nl + 1:nl + 1 + size])
            pos = nl + 1 + size
    return out


def whole(batch):
    """True when the batch is a sequence of complete rnews articles, nothing cut off."""
    pos = 0
    while pos < len(batch):
        nl = batch.find(b"\n", pos)
        if not batch.startswith(b"#! rnews ", pos) or nl < 0:
            return False
        pos = nl + 1 + int(batch[pos + 9:nl])
    return pos == len(batch)


def ids_in(batches):
    return [message_id(a) for a in articles_in(batches)]


def groups_of(prefix, count, per_group, **kw):
    names = ["%s.%d" % (prefix, g) for g in range(1, count + 1)]
    return {g: [make_article(g, n, **kw) for n in range(1, per_group + 1)] for g in names}


def rc_numbers(path):
    out = {}
    for line in open(path, "rb").read().decode("latin-1").split("\r\n"):
        words = line.split()
        if len(words) >= 2:
            out[words[0]] = int(words[1])
    return out


# ---- cases -------------------------------------------------------------------------------------

def case_full_disk(p):
    """A spool that fills up: the stored batches are whole, nothing is lost when space returns."""
    if os.geteuid() != 0:
        print("SKIP full disk: mounting a small tmpfs needs root")
        return
    spool = p.dir + "tmpfs/"
    os.makedirs(spool)
    if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=200k", "tmpfs", spool]).returncode:
        print("SKIP full disk: this machine refuses to mount a tmpfs")
        return
    imported = p.dir + "imported/"
    os.makedirs(imported)
    try:
        groups = groups_of("full", 8, 50, body="x" * 900 + "\r\n")
        news = NewsServer(groups)
        box = p.box("full", NntpServer="%s:%d" % (HOST, news.port), NntpSpool=spool,
                    NntpDupeSize="5000")
        p.write("full.rc", "".join("%s 0\n" % g for g in groups))
        first = p.run(box)
        check("full disk: the first run reports the failure (exit 1)", first.code == 1, first.code)
        check("full disk: no half-written batch is left", not p.leftovers(spool), p.leftovers(spool))
        log = p.log().decode("utf-8", "replace")
        check("full disk: the error names the file and the reason",
              ".tmp konnte nicht geschrieben werden: No space left on device" in log, log[-600:])
        runs = 1
        code = first.code

        def import_spool():  # the point program takes what arrived: there is room again
            for n in os.listdir(spool):
                shutil.move(spool + n, "%s%d-%s" % (imported, runs, n))

        while code != 0 and runs < 8:
            import_spool()
            code = p.run(box).code
            runs += 1
        import_spool()
        ids = ids_in(p.batches(imported))
        expected = [message_id(a) for arts in groups.values() for a in arts]
        check("full disk: a later run ends with exit 0 (%d runs)" % runs, code == 0, code)
        check("full disk: every article stored exactly once", exactly_once(expected, ids),
              (len(ids), len(set(ids)), len(expected)))
        check("full disk: no article was taken for a duplicate", b"ist doppelt" not in p.log())
    finally:
        subprocess.run(["umount", spool])
        news.stop()


def case_templated_dupes(p):
    """3,000 distinct articles from one template through the checksum dupe kind: all arrive."""
    groups = {"bot.reports": [make_article("bot.reports", n, subject="Daily report",
                                           body="Report %d of 3000: all fine.\r\n" % n)
                              for n in range(1, 3001)]}
    news = NewsServer(groups)
    try:
        box = p.box("bot", NntpServer="%s:%d" % (HOST, news.port), NntpDupeSize="5000",
                    NntpNewMax="0")
        p.write("bot.rc", "bot.reports 0\n")
        r = p.run(box)
        check("templated: exit 0", r.code == 0, (r.code, r.stderr[-300:]))
        ids = ids_in(p.batches())
        check("templated: all 3,000 stored", len(set(ids)) == 3000, len(set(ids)))
        check("templated: none dropped as a duplicate", b"ist doppelt" not in p.log())
        check("templated: the dupe file holds 4-byte entries",
              os.path.getsize(p.home + "dupes.crc") == 4 * 3000)
    finally:
        news.stop()


def case_cut_greeting(p):
    """A greeting without its line end, then a close: the run ends, with exit 1."""
    server = Hostile("cut-greeting")
    try:
        box = p.box("cut", NntpServer="%s:%d" % (HOST, server.port), NntpTimeout="5")
        p.write("cut.rc", "de.test 0\n")
        r = p.run(box)
        check("cut greeting: the run ends with exit 1", r.code == 1, r.code)
        check("cut greeting: the group's line is unchanged",
              rc_numbers(p.dir + "cut.rc") == {"de.test": 0})
    finally:
        server.stop()


def hostile_box(p, kind, proto, timeout):
    """A box against a Hostile server of that kind; the server is the caller's to stop."""
    server = Hostile(kind)
    where = "%s:%d" % (HOST, server.port)
    if proto == "pop3":
        return server, p.box(kind, Pop3Server=where, Pop3User="u", Pop3Pass="p",
                             Pop3Timeout=str(timeout))
    if proto == "smtp":
        p.write("spool/M0001.OUT", "HELO point\nMAIL FROM:<p@example.org>\nRCPT TO:<a@example.org>\n"
                "DATA\nSubject: hostile\n\nbody\n.\nQUIT\n")
        # (The box file's key is spelt so.)
        return server, p.box(kind, SmtpServer=where, SmtpSpool=p.spool, SmptTimeout=str(timeout))
    p.write(kind + ".rc", "de.endless 0\n")
    if os.path.exists(p.dir + kind + ".bl"):
        os.remove(p.dir + kind + ".bl")
    return server, p.box(kind, NntpServer=where, NntpTimeout=str(timeout),
                         NntpGetNewsList="enabled" if "list" in kind else "disabled")


def case_dripping_replies(p):
    """Replies kept going below the minimum rate, a line now and then or about 4 KB/s: each run
    ends with exit 2 (as after the time-out) within the time-out plus a few seconds."""
    timeout = 3
    for kind, proto in (("pop3-drip-retr", "pop3"), ("pop3-fastdrip-retr", "pop3"),
                        ("nntp-drip-article", "nntp"), ("nntp-fastdrip-article", "nntp")):
        server, box = hostile_box(p, kind, proto, timeout)
        try:
            r = p.run(box)
            print("     %s: exit %r after %.1f s, peak %.0f MB" % (kind, r.code, r.wall, r.rss_mb),
                  flush=True)
            check("%s: the run ends with exit 2" % kind, r.code == 2, (r.code, p.log()[-600:]))
            check("%s: within the time-out plus a few seconds" % kind,
                  r.wall < timeout + DRIP_SLACK, r.wall)
            check("%s: the log says why" % kind, b"reply too slow, connection dropped" in p.log(),
                  p.log()[-300:])
        finally:
            server.stop()


def case_bad_stat(p):
    """A STAT count that is no count: exit 1 and a line that shows the reply."""
    server, box = hostile_box(p, "pop3-bad-stat", "pop3", 3)
    try:
        r = p.run(box)
        check("bad STAT: exit 1", r.code == 1, r.code)
        check("bad STAT: the log shows the reply",
              ("Error auf %s:%d: STAT-Antwort \"+OK 99999999999999999999 100\" ist ung\u00fcltig"
               % (HOST, server.port)).encode() in p.log(), p.log()[-300:])
    finally:
        server.stop()


def stopped_for(p, proc, marker, seconds):
    """Stops the running program for seconds once its log shows marker once more, as a loaded
    machine may stop it, and lets it go on; the program's process, to be waited for."""
    seen = p.log().count(marker)

    def stop():
        deadline = time.monotonic() + HANG_LIMIT
        while p.log().count(marker) == seen and proc.poll() is None:
            if time.monotonic() > deadline:
                return
            time.sleep(0.05)
        time.sleep(0.5)  # into the middle of the reply
        try:
            os.kill(proc.pid, signal.SIGSTOP)
            time.sleep(seconds)
        except ProcessLookupError:
            return
        finally:
            try:
                os.kill(proc.pid, signal.SIGCONT)
            except ProcessLookupError:
                pass

    thread = threading.Thread(target=stop)
    thread.start()
    return proc, thread


def case_endless_replies(p):
    """Replies that never end: each run ends with exit 1, memory bounded. So too when the program
    is stopped in the middle of the reply for twice its time-out: the server kept sending all
    the while, so it is neither idle nor too slow."""
    for kind, proto in (("pop3-endless-list", "pop3"), ("pop3-endless-retr", "pop3"),
                        ("nntp-endless-list", "nntp"), ("nntp-endless-article", "nntp")):
        server, box = hostile_box(p, kind, proto, 3)
        try:
            r = p.run(box)
            print("     %s: exit %r after %.1f s, peak %.0f MB" % (kind, r.code, r.wall, r.rss_mb),
                  flush=True)
            check("%s: the run ends with exit 1" % kind, r.code == 1, r.code)
            check("%s: memory stays bounded" % kind, r.rss_mb < MEMORY_LIMIT_MB, r.rss_mb)
        finally:
            server.stop()
    for kind, proto, marker in (("pop3-endless-retr", "pop3", b"Empfange Nachricht 1 von"),
                                ("nntp-endless-article", "nntp", b"Hole 1 Artikel")):
        server, box = hostile_box(p, kind, proto, 3)
        try:
            proc, stopper = stopped_for(p, p.start(box), marker, 6)
            r = p.wait(proc)
            stopper.join()
            print("     %s, stopped for 6 s: exit %r after %.1f s, peak %.0f MB"
                  % (kind, r.code, r.wall, r.rss_mb), flush=True)
            tail = p.log()[-400:]
            check("%s, stopped for 6 s: the run ends with exit 1, by the size limit" % kind,
                  r.code == 1 and b"reply too large" in tail, (r.code, tail))
            check("%s, stopped for 6 s: no time-out is taken" % kind,
                  b"Socket Timeout" not in tail and b"too slow" not in tail, tail)
        finally:
            server.stop()


# Servers that misbehave, one way each: the exit code kestro must end with, a line of its run log
# that says why, and the limit of the client's library (file, name) that bounds its memory
# meanwhile. Exit 2 is a reply kept going too slowly (below 8 KB/s over the time-out).
HOSTILE = [
    ("pop3-long-line", 1, "Error: Received line too long, exceeds MaxLineBuf",
     "netlib/sock/Limits.h", "kMaxLineBuf"),
    ("nntp-long-line", 1, "Error: Received line too long, exceeds MaxLineBuf",
     "netlib/sock/Limits.h", "kMaxLineBuf"),
    ("smtp-long-line", 1, "Error: Received line too long, exceeds MaxLineBuf",
     "netlib/sock/Limits.h", "kMaxLineBuf"),
    ("smtp-endless-ehlo", 1, "Error: [SMTP] reply too long, connection dropped",
     "netlib/smtp/Limits.h", "kMaxReplyLines"),
    ("pop3-negative-stat", 1, 'STAT-Antwort "+OK -3 100" ist ung\u00fcltig', None, None),
    ("pop3-negative-list", 1, 'LIST-Zeile "1 -100" ist ung\u00fcltig', None, None),
    ("pop3-huge-list", 1, 'LIST-Zeile "99999999999999999999 100" ist ung\u00fcltig', None, None),
    ("nntp-negative-group", 1, 'GROUP-Antwort "211 -5 -3 -1 de.endless" ist ung\u00fcltig',
     None, None),
    ("nntp-huge-group", 1, 'GROUP-Antwort "211 99999999999999999999 1 99999999999999999999 '
     'de.endless" ist ung\u00fcltig', None, None),
    ("pop3-random", 1, 'Error: [POP3] invalid reply "', "netlib/sock/Limits.h", "kMaxLineBuf"),
    ("nntp-random", 1, 'Error: [NNTP] invalid reply "', "netlib/sock/Limits.h", "kMaxLineBuf"),
    ("smtp-random", 1, 'SMTP Error 0 auf %(server)s: ung\u00fcltige Antwort "',
     "netlib/sock/Limits.h", "kMaxLineBuf"),
    ("pop3-cut-greeting", 1, "Server %(server)s hat die Verbindung vorzeitig beendet", None, None),
    # (The news task finds the connection gone when it selects the first group.)
    ("nntp-cut-greeting", 1, ": Not connected.", None, None),
    ("smtp-cut-greeting", 1, "Server %(server)s hat die Verbindung vorzeitig beendet", None, None),
    ("pop3-trickle", 2, "Error: [POP3] reply too slow, connection dropped", None, None),
    ("nntp-trickle", 2, "Error: [NNTP] reply too slow, connection dropped", None, None),
    ("smtp-trickle", 2, "Error: [SMTP] reply too slow, connection dropped", None, None),
]


def library_limit(header, name):
    """The value of a limit as its library's Limits.h states it (shifts and products included)."""
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    text = open(os.path.join(root, header)).read()
    expr = text.split(" %s = " % name, 1)[1].split(";", 1)[0]
    expr = re.sub(r"\b(u?int\d+_t|size_t)\b", "", expr).replace("'", "")
    return int(eval(re.sub(r"(\d)u\b", r"\1", expr), {"__builtins__": {}}))


def case_hostile_servers(p):
    """Each misbehaviour ends the task with its exit code and a line that says why, within the
    time-out (plus start and end), with memory bounded."""
    timeout = 3
    for kind, code, line, header, limit in HOSTILE:
        server, box = hostile_box(p, kind, kind.split("-", 1)[0], timeout)
        try:
            r = p.run(box)
            log = p.log().decode("utf-8", "replace")
            bound = " (%s %s = %d)" % (header, limit, library_limit(header, limit)) if limit else ""
            print("     %s: exit %r after %.1f s, peak %.0f MB%s" % (kind, r.code, r.wall, r.rss_mb,
                                                                   bound), flush=True)
            check("%s: the run ends with exit %d" % (kind, code), r.code == code, r.code)
            wanted = line % {"server": "%s:%d" % (HOST, server.port)}
            check("%s: the log says why" % kind, wanted in log, log[-400:])
            check("%s: within the time-out and a few seconds" % kind,
                  r.wall < timeout + DRIP_SLACK, r.wall)
            check("%s: memory stays bounded" % kind, r.rss_mb < MEMORY_LIMIT_MB, r.rss_mb)
        finally:
            server.stop()


def case_killed_runs(p):
    """Runs killed in the middle of a fetch of 3,000 articles, then a clean run: every article
    arrives, and each kill repeats at most the group it hit (100 articles)."""
    groups = groups_of("kill", 30, 100)
    expected = sorted(message_id(a) for arts in groups.values() for a in arts)
    for dupes in ("0", "5000"):
        news = NewsServer(groups)
        spool = p.dir + "spool-%s/" % dupes
        os.makedirs(spool)
        try:
            box = p.box("kill" + dupes, NntpServer="%s:%d" % (HOST, news.port), NntpSpool=spool,
                        NntpMaxThreads="1", NntpDupeSize=dupes, NntpNewMax="0")
            p.write("kill%s.rc" % dupes, "".join("%s 0\n" % g for g in groups))
            kills = 0
            rc_whole = True
            for kill_after in (1234, 777, 555):
                news.served = 0
                news.kill_after, news.kill_pid = kill_after, None
                proc = p.start(box)
                news.kill_pid = proc.pid
                r = p.wait(proc)
                kills += r.code == -signal.SIGKILL
                # A group's line moves only with its whole batch: never into the middle.
                rc_whole &= all(v % 100 == 0 for v in rc_numbers(p.dir + "kill%s.rc" % dupes)
                                .values())
            news.kill_pid = None
            last = p.run(box)
            ids = ids_in(p.batches(spool))
            label = "killed runs (dupe size %s)" % dupes
            check("%s: three kills, then a clean run with exit 0" % label,
                  kills == 3 and last.code == 0, (kills, last.code))
            check("%s: every article arrived exactly once (%d repeated)"
                  % (label, len(ids) - len(set(ids))), exactly_once(expected, ids),
                  (len(set(ids)), len(expected)))
            check("%s: every batch under its final name is whole" % label,
                  all(whole(b) for b in p.batches(spool)))
            check("%s: no group's line stopped in the middle of the group" % label, rc_whole)
            # A kill before a batch's first write leaves it empty; the clean run clears it too.
            check("%s: no temporary file of the killed runs is left" % label,
                  p.leftovers(spool) == [], p.leftovers(spool))
        finally:
            news.stop()


def case_damaged_input(p):
    """Box files that are no box files, a NUL in a setting, a server that sends random bytes:
    each is an error the caller sees (exit 1) and a line that names it."""
    for name, data in (("empty", b""), ("binary", bytes(range(256)) * 4)):
        box = p.write(name + ".bfg", data)
        r = p.run(box)
        check("box file %s: exit 1" % name, r.code == 1, r.code)
        check("box file %s: the message names the file" % name,
              "%s.bfg enthält keine Box-Einstellungen" % name in r.stderr, r.stderr[-400:])

    news = NewsServer(groups_of("nul", 1, 2))
    try:
        box = p.write("nul.cfg", b"### Kestro Configuration File Version 1 ###\r\n"
                      b"NntpServer=127.0.0.1:%d\0.attacker.example\r\nNntpSpool=%s\r\n"
                      % (news.port, p.spool.encode()))
        p.write("nul.rc", "nul.1 0\n")
        r = p.run(box)
        check("NUL in a setting: exit 1", r.code == 1, r.code)
        check("NUL in a setting: the setting is named", "Der Eintrag nntpserver in " in r.stderr
              and "NUL-Zeichen" in r.stderr, r.stderr[-400:])
        check("NUL in a setting: the cut name was not used", news.connections == 0)
    finally:
        news.stop()

    server = Hostile("random")
    try:
        box = p.box("random", NntpServer="%s:%d" % (HOST, server.port), NntpTimeout="5")
        p.write("random.rc", "de.test 0\n")
        r = p.run(box)
        check("random bytes: exit 1", r.code == 1, r.code)
        check("random bytes: the group's line is unchanged",
              rc_numbers(p.dir + "random.rc") == {"de.test": 0})
        log = p.log()
        check("random bytes: nothing stored", not p.batches())
        check("random bytes: the run log stays lines of UTF-8 text",
              all(b < 0x20 and b in b"\r\n" or b >= 0x20 for b in log.replace(b"\r\n", b""))
              and b"\r\n" in log and not log.replace(b"\r\n", b"").count(b"\n")
              and log.decode("utf-8", "strict") is not None, log[-300:])
    finally:
        server.stop()


def case_refusals(p):
    """What a server refuses: an article (503) ends its group before it with exit 1 and comes
    with the next run; a refused log-on or post is exit 1, the post's file stays; a missing group
    is a notice and exit 0."""
    groups = groups_of("ref", 2, 5)
    groups["ref.1"][2] = make_article("ref.1", 3, body="Attached.\r\n").replace(
        b"\r\n\r\n", b"\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=b\r\n"
        b"\r\n--b\r\nContent-Type: text/plain\r\n\r\nsee attachment\r\n--b\r\n"
        b"Content-Type: application/octet-stream\r\nContent-Disposition: attachment; "
        b"filename=\" \"\r\nContent-Transfer-Encoding: base64\r\n\r\naGVsbG8=\r\n--b--\r\n"
        b"\r\n", 1)
    news = NewsServer(groups, refusals={("ref.1", 4): "503 program fault, try later"})
    files = p.dir + "files/"
    os.makedirs(files)
    try:
        where = "%s:%d" % (HOST, news.port)
        box = p.box("ref", NntpServer=where, NntpMaxThreads="1", ExtractAttach="enabled",
                    ExtractPath=files)
        p.write("ref.rc", "ref.1 0\nref.gone 0\nref.2 0\n")
        r = p.run(box)
        check("503: exit 1", r.code == 1, r.code)
        check("503: the group ends before the refused article",
              rc_numbers(p.dir + "ref.rc")["ref.1"] == 3, rc_numbers(p.dir + "ref.rc"))
        check("an attachment named by a blank creates no file", os.listdir(files) == [],
              os.listdir(files))
        news.refusals = {}
        r = p.run(box)
        check("503: the next run fetches the refused article and exits 0", r.code == 0, r.code)
        ids = [i for i in ids_in(p.batches()) if i]  # the notice has no Message-ID
        expected = [message_id(a) for g in ("ref.1", "ref.2") for a in groups[g]]
        check("503: every article once", exactly_once(expected, ids), ids)
        check("411: a notice, exit 0 all the same", b"Diese Newsgroup existiert nicht mehr" in
              b"".join(p.batches()))

        p.write("spool/N0001.OUT", "From: p@example.org\nNewsgroups: ref.1\nSubject: post\n\nx\n")
        news.post_reply = "441 posting failed"
        post = p.box("post", NntpServer=where, NntpPosting="enabled")
        r = p.run(post)
        check("441: a refused post is exit 1", r.code == 1, r.code)
        check("441: its file stays", os.path.exists(p.spool + "N0001.OUT"))
        news.post_reply = "240 ok"
        r = p.run(post)
        check("240: the accepted post is exit 0 and its file is gone",
              r.code == 0 and not os.path.exists(p.spool + "N0001.OUT"), r.code)
        news.login = "481 go away"
        p.write("login.rc", "ref.2 0\n")
        r = p.run(p.box("login", NntpServer=where, NntpUser="u", NntpPass="p"))
        check("481: a refused log-on is exit 1", r.code == 1, r.code)
    finally:
        news.stop()


def case_kill_at_every_step(p):
    """The run ends at each step of storing a group's batch, as a kill there would; the next run
    finds every article exactly once in the spool. An article crossposted to every group must be
    known to the dupe database whatever the step: with the database it arrives once."""
    for dupes, sort, imports in (("5000", "1", True), ("0", "0", False)):
        groups = groups_of("step", 3, 20)
        expected = [message_id(a) for arts in groups.values() for a in arts]
        if dupes != "0":
            cross = make_article("step.1,step.2,step.3", 99)
            for arts in groups.values():
                arts.append(cross)
            expected.append(message_id(cross))
        news = NewsServer(groups)
        try:
            for step in STORE_STEPS:
                label = "end at %s (dupe size %s%s)" % (step, dupes, ", imported" if imports else "")
                run = Program("step")
                try:
                    box = run.box("step", NntpServer="%s:%d" % (HOST, news.port),
                                  NntpMaxThreads="1", NntpDupeSize=dupes, NntpSort=sort,
                                  NntpNewMax="0")
                    run.write("step.rc", "".join("%s 0\n" % g for g in groups))
                    imported = run.dir + "imported/"
                    os.makedirs(imported)
                    first = run.run(box, exit_at=step)
                    # It ended while storing the first group: its batch is named from
                    # batch-named on.
                    named = len(run.batches())
                    check("%s: the first run ended while storing the first batch" % label,
                          first.code == EXIT_POINT_CODE and
                          named == int(STORE_STEPS.index(step) >= 2), (first.code, named))
                    if imports:  # the point program takes what arrived before the next run
                        for n in os.listdir(run.spool):
                            if n.lower().endswith(".msg"):
                                shutil.move(run.spool + n, imported + n)
                    second = run.run(box)
                    ids = ids_in(run.batches(imported) + run.batches())
                    check("%s: the second run ends with exit 0" % label, second.code == 0,
                          (second.code, second.stderr[-300:]))
                    check("%s: every article exactly once" % label, exactly_once(expected, ids),
                          (len(ids), len(set(ids)), len(expected)))
                    check("%s: every batch whole, every line at its group's end, no record left"
                          % label, all(whole(b) for b in run.batches(imported) + run.batches())
                          and set(rc_numbers(run.dir + "step.rc").values()) == {len(next(iter(
                              groups.values())))} and not glob.glob(run.home + "batch*"),
                          (rc_numbers(run.dir + "step.rc"), os.listdir(run.home)))
                finally:
                    run.cleanup()
        finally:
            news.stop()


def case_posted_before(p):
    """A run that ends between the server's acceptance of a post and the deletion of its file:
    the next run finds the server holding it, counts it as delivered and posts the rest."""
    news = NewsServer({"post.test": []})
    try:
        mids = []
        for n in range(1, 11):
            mids.append("<post%d@stress.invalid>" % n)
            p.write("spool/N%04d.OUT" % n, "From: p@example.org\nNewsgroups: post.test\n"
                    "Subject: post %d\nMessage-ID: %s\n\nbody %d\n" % (n, mids[-1], n))
        box = p.box("post", NntpServer="%s:%d" % (HOST, news.port), NntpPosting="enabled")
        first = p.run(box, exit_at="post-accepted")
        left = sorted(n for n in os.listdir(p.spool) if n.upper().endswith(".OUT"))
        check("posted before: the first run ended after the server took N0001",
              first.code == EXIT_POINT_CODE and len(left) == 10 and news.held == mids[:1],
              (first.code, left, news.held))
        second = p.run(box)
        log = p.log().decode("utf-8", "replace")
        check("posted before: the next run ends with exit 0", second.code == 0,
              (second.code, log[-500:]))
        check("posted before: the log says the article was there already",
              "Artikel 1 ist auf %s:%d bereits vorhanden und gilt als versandt: 441 435 "
              "Duplicate" % (HOST, news.port) in log, log[-500:])
        check("posted before: every file is gone",
              not [n for n in os.listdir(p.spool) if n.upper().endswith(".OUT")])
        check("posted before: the server holds every article exactly once",
              exactly_once(mids, news.held), news.held)
    finally:
        news.stop()


CASES = [("full-disk", case_full_disk), ("templated", case_templated_dupes),
         ("cut-greeting", case_cut_greeting), ("endless", case_endless_replies),
         ("dripping", case_dripping_replies), ("bad-stat", case_bad_stat),
         ("killed", case_killed_runs), ("damaged", case_damaged_input),
         ("refusals", case_refusals), ("kill-at-every-step", case_kill_at_every_step),
         ("posted-before", case_posted_before), ("hostile", case_hostile_servers)]


def main():
    only = set(sys.argv[2:])
    for name, fn in CASES:
        if only and name not in only:
            continue
        prog = Program(name)
        try:
            fn(prog)
        except Exception:
            check(name + " ran through", False, traceback.format_exc()[-1500:])
        finally:
            prog.cleanup()
    print("articles: %d checked, lost %d, stored twice %d"
          % (articles["checked"], articles["lost"], articles["twice"]))
    print("%d passed, %d failed" % (passed, failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
