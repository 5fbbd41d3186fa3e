#!/usr/bin/python3
"""demo.py --kestro BIN [--port P] [--keep-servers]: a first exchange with Kestro on this machine.

Starts the end-to-end test servers on 127.0.0.1 (tests/e2e/harness.sh: Dovecot POP3, aiosmtpd
SMTP, INN NNTP, xinetd time; ports from P, default 26700), gives them a few sample mails and
articles, writes an OpenXP client box with outgoing mail and news in its spool, runs kestro on
it once (mail and news, both directions) and prints what arrived where. Stops the servers at the
end. The box directory stays for a look. Exit 0 when everything went where it should.
scripts/run.sh --demo builds Kestro and runs this. The servers need root (or password-less sudo).
"""
import argparse, json, os, shutil, subprocess, sys, tempfile, time, uuid, warnings
warnings.simplefilter("ignore", DeprecationWarning)
import nntplib  # deprecated in 3.11; Debian 12 has 3.11

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
import bounded

HARNESS = os.path.join(ROOT, "tests", "e2e", "harness.sh")
RUN_BOUND = 300  # starting the servers takes seconds, the exchange about one
GROUPS = ["demo.general", "demo.kestro"]
MAILS = [("Anna <anna@example.org>", "Welcome to Kestro", "The first mail of the demo.\n"),
         ("Bernd <bernd@example.org>", "Gr\xfc\xdfe aus Hamburg",
          "An 8-bit mail: its bytes arrive unchanged.\n")]
ARTICLES = [(GROUPS[0], "Hello, group", "A first article.\n"),
            (GROUPS[0], "Re: Hello, group", "A reply.\n"),
            (GROUPS[1], "Kestro fetches news into rnews batches", "One batch per run.\n")]


def say(text=""):
    print(text, flush=True)


def die(text):
    print("demo: " + text, file=sys.stderr, flush=True)
    sys.exit(1)


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("latin-1")


def helper(argv, stdin=None):
    """Runs a helper of the servers (adduser, drop, inject, newgroup); its output."""
    r = bounded.run(argv, 60, input=stdin)
    if r.returncode != 0:
        die("%s failed: %s" % (" ".join(argv), r.stderr.decode(errors="replace").strip()))
    return r.stdout.decode(errors="replace").strip()


def header(raw, name):
    """The first header line `name` of a message, as text."""
    for line in raw.split(b"\r\n"):
        if line == b"":
            break
        if line.lower().startswith(name.lower().encode() + b":"):
            return line.split(b":", 1)[1].strip().decode("latin-1")
    return ""


def rnews_articles(data):
    """The articles of an rnews batch ("#! rnews SIZE" lines, each followed by SIZE bytes)."""
    arts, pos = [], 0
    while pos < len(data) and data.startswith(b"#! rnews ", pos):
        nl = data.index(b"\n", pos)
        size = int(data[pos:nl].split()[2])
        arts.append(data[nl + 1:nl + 1 + size])
        pos = nl + 1 + size
    return arts


class Servers:
    """The e2e harness's servers in DIR, started and stopped with harness.sh."""

    def __init__(self, base, port):
        self.base = base
        r = bounded.run([HARNESS, "start_all", base, str(port)], 180)
        if r.returncode != 0:
            die("the servers did not start:\n" + (r.stdout + r.stderr).decode(errors="replace"))
        env = os.path.join(base, "e2e.env")
        self.env = dict(l.rstrip("\n").split("=", 1) for l in open(env)
                        if "=" in l and not l.startswith("#"))
        self.host = self.env["KESTRO_E2E_HOST"]

    def port(self, name):
        return int(self.env["KESTRO_E2E_%s_PORT" % name])

    def stop(self):
        r = bounded.run([HARNESS, "stop_all", self.base], 90)
        return r.returncode == 0


def fill(srv, user, password):
    """Sample mail for `user` on the POP3 server and sample articles on the news server."""
    helper([srv.env["KESTRO_E2E_ADDUSER"], user, password])
    for sender, subject, body in MAILS:
        helper([srv.env["KESTRO_E2E_POP3_DROP"], user], crlf(
            "From: %s\nTo: point@example.org\nSubject: %s\nMessage-ID: <%s@example.org>\n"
            "Content-Type: text/plain; charset=iso-8859-1\nContent-Transfer-Encoding: 8bit\n\n%s"
            % (sender, subject, uuid.uuid4().hex, body)))
    for group in GROUPS:
        helper([srv.env["KESTRO_E2E_NNTP_NEWGROUP"], group])
    for group, subject, body in ARTICLES:
        helper([srv.env["KESTRO_E2E_NNTP_INJECT"]], crlf(
            "From: Carla <carla@example.org>\nNewsgroups: %s\nSubject: %s\n\n%s"
            % (group, subject, body)))


def write_box(box, srv, user, password):
    """An OpenXP client box: the box file, its newsgroup list, its spool with outgoing mail
    (an SMTP script) and news, and a program directory with a registry of its own."""
    spool = os.path.join(box, "spool") + "/"
    home = os.path.join(box, "kestro") + "/"
    reg = os.path.join(home, "reg") + "/"
    runtime = os.path.join(box, "run")
    for d in (spool, reg):
        os.makedirs(d)
    os.makedirs(runtime, mode=0o700)  # Qt wants a private runtime directory

    def write(name, text):
        with open(os.path.join(box, name), "wb") as f:
            f.write(crlf(text))

    write("demo.bfg", "Username=point\nBoxname=demo\nclient-spool=%s\n"
          "client-mailinserver=%s\nclient-mailinport=%d\nclient-mailinuser=%s\n"
          "client-mailinpassword=%s\nclient-mailinkeep=N\n"
          "client-mailoutserver=%s\nclient-mailoutport=%d\n"
          "client-newsserver=%s\nclient-newsport=%d\nclient-newslist=J\n"
          % (spool, srv.host, srv.port("POP3"), user, password, srv.host, srv.port("SMTP"),
             srv.host, srv.port("NNTP")))
    write("demo.rc", "".join("%s 0\n" % g for g in GROUPS))
    write("spool/M0001.OUT", "HELO point\nMAIL FROM:<point@example.org>\n"
          "RCPT TO:<friend@example.org>\nDATA\nFrom: Point <point@example.org>\n"
          "To: friend@example.org\nSubject: Sent by Kestro\nMessage-ID: <%s@point.example>\n\n"
          "Written by the point program, sent by Kestro.\n.\nQUIT\n" % uuid.uuid4().hex)
    news_id = "<%s@point.example>" % uuid.uuid4().hex
    write("spool/N0001.OUT", "From: Point <point@example.org>\nNewsgroups: %s\n"
          "Subject: Posted by Kestro\nMessage-ID: %s\n\nWritten offline, posted by Kestro.\n"
          % (GROUPS[1], news_id))
    # every value, in the order Kestro reads them: a missing one ends the reading
    values = [('"EventLog"', "dword:00000001"), ('"ThreadLog"', "dword:00000000"),
              ('"DebugLog"', "dword:00000000"), ('"CrosspointDir"', '""'),
              ('"Realname"', '"Demo Point"'), ('"eMail"', '"point@example.org"'),
              ('"TimeServer"', '"%s:%d"' % (srv.host, srv.port("TIME"))),
              ('"MaxThreads"', "dword:00000004")]
    with open(reg + "HKEY_LOCAL_MACHINE.reg", "w") as f:
        f.write("; Kestro registry hive, version 1\n\n[]\n\n[SOFTWARE]\n\n[SOFTWARE\\Orvalin]\n\n"
                "[SOFTWARE\\Orvalin\\Kestro]\n")
        f.writelines("%s=%s\n" % kv for kv in values)
    env = dict(os.environ, KESTRO_HOME=home, KESTRO_REGISTRY_DIR=reg, KESTRO_CLOCK="none",
               QT_QPA_PLATFORM="offscreen", XDG_RUNTIME_DIR=runtime)
    return spool, home, env, news_id


def report(srv, box, spool, home, news_id):
    """Prints what arrived where. Returns what is missing (empty when all arrived) and the
    numbers of mails and articles fetched."""
    missing = []
    mails, articles = [], []
    say("\nFetched into the spool (%s):" % spool)
    for name in sorted(os.listdir(spool)):
        data = open(os.path.join(spool, name), "rb").read()
        if data.startswith(b"#! rnews "):
            arts = rnews_articles(data)
            articles += arts
            say("  %-12s rnews batch, %d article%s" % (name, len(arts), "s"[:len(arts) != 1]))
            for a in arts:
                say("      news  %-14s %s" % (header(a, "Newsgroups"), header(a, "Subject")))
        elif name.lower().endswith(".msg"):
            mails.append(data)
            say("  %-12s mail  from %s: %s" % (name, header(data, "From"), header(data, "Subject")))
    if len(mails) != len(MAILS):
        missing.append("%d of %d mails fetched" % (len(mails), len(MAILS)))
    got = {header(a, "Subject") for a in articles}
    missing += ["article %r not fetched" % s for _, s, _ in ARTICLES if s not in got]
    if not any(b"Gr\xfc\xdfe" in m for m in mails):
        missing.append("the 8-bit mail lost its bytes")

    say("\nSent from the spool:")
    sent = [json.loads(l) for l in open(srv.env["KESTRO_E2E_SMTP_LOG"])] \
        if os.path.exists(srv.env["KESTRO_E2E_SMTP_LOG"]) else []
    for rec in sent:
        say("  M0001.OUT    mail  to %s, %d bytes, taken by the SMTP server on port %d"
            % (", ".join(rec["rcpt_tos"]), rec["size"], rec["port"]))
    if not any("friend@example.org" in r["rcpt_tos"] for r in sent):
        missing.append("the outgoing mail did not reach the SMTP server")
    if os.path.exists(spool + "M0001.OUT"):
        missing.append("M0001.OUT is still in the spool")
    with nntplib.NNTP(srv.host, srv.port("NNTP"), readermode=True, timeout=10) as n:
        try:
            n.stat(news_id)
            say("  N0001.OUT    news  %s in %s, on the news server" % (news_id, GROUPS[1]))
        except nntplib.NNTPTemporaryError:
            missing.append("the posted article %s is not on the news server" % news_id)
    if os.path.exists(spool + "N0001.OUT"):
        missing.append("N0001.OUT is still in the spool")

    log = os.path.join(home, "xpclient.log")
    say("\nRun log (%s):" % log)
    text = open(log, "rb").read().decode("utf-8", "replace") if os.path.exists(log) else ""
    for line in text.splitlines():
        say("  " + line)
    if not text:
        missing.append("no run log")
    elif "Remote Zeit: " not in text:
        missing.append("no time from the time server")
    say("\nThe box stays in %s (demo.bfg, demo.rc, spool/, kestro/)." % box)
    return missing, len(mails), len(articles)


def main():
    a = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    a.add_argument("--kestro", required=True, help="the kestro binary")
    a.add_argument("--port", type=int, default=26700,
                   help="first of the servers' 20 ports (the harness moves on by 50 when taken)")
    a.add_argument("--keep-servers", action="store_true",
                   help="leave the servers running (stop: tests/e2e/harness.sh stop_all DIR)")
    args = a.parse_args()
    kestro = os.path.abspath(args.kestro)
    if not os.access(kestro, os.X_OK):
        die("not an executable: " + kestro)
    work = tempfile.mkdtemp(prefix="kestro-demo-")
    os.chmod(work, 0o755)  # the servers switch to the users mail and news
    box = os.path.join(work, "point")
    servers = os.path.join(work, "servers")
    # the servers are daemons outside the demo's sessions: a demo that gives up stops them
    bounded.give_up_after(RUN_BOUND, "the demo", cleanup=lambda: bounded.run(
        [HARNESS, "stop_all", servers], 90))
    say("Starting the test servers on 127.0.0.1 (POP3, SMTP, NNTP, time) ...")
    srv = Servers(servers, args.port)
    missing, mails, articles = ["the exchange did not run"], 0, 0
    try:
        say("  POP3 %d, SMTP %d, NNTP %d, time %d" % (srv.port("POP3"), srv.port("SMTP"),
                                                      srv.port("NNTP"), srv.port("TIME")))
        user, password = "point", "demo-secret"
        fill(srv, user, password)
        say("  %d mails for %s waiting on the POP3 server, %d articles in %s on the news server"
            % (len(MAILS), user, len(ARTICLES), ", ".join(GROUPS)))
        spool, home, env, news_id = write_box(box, srv, user, password)
        say("\nRunning: %s %s" % (kestro, os.path.join(box, "demo.bfg")))
        start = time.monotonic()
        r = bounded.run([kestro, os.path.join(box, "demo.bfg")], 120, env=env, cwd=home)
        say("kestro ended with exit code %d after %.1f s" % (r.returncode, time.monotonic() - start))
        if r.stderr.strip():
            say(r.stderr.decode("utf-8", "replace").rstrip())
        missing, mails, articles = report(srv, box, spool, home, news_id)
        if r.returncode != 0:
            missing.insert(0, "kestro ended with exit code %d" % r.returncode)
    finally:
        if args.keep_servers:
            say("\nThe servers keep running: %s stop_all %s" % (HARNESS, srv.base))
        elif srv.stop():
            shutil.rmtree(srv.base, ignore_errors=True)
            say("\nThe servers are stopped.")
        else:
            missing.append("the servers did not stop")
    if missing:
        say("\nDemo FAILED: " + "; ".join(missing))
        sys.exit(1)
    say("\nDemo done: %d mails and %d articles fetched, 1 mail sent and 1 article posted."
        % (mails, articles))


if __name__ == "__main__":
    main()
