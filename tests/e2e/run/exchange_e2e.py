#!/usr/bin/python3
"""Runs the real kestro binary unattended on boxes written here, against the e2e servers.

usage: exchange_e2e.py KESTRO [CASE...]     (KESTRO_E2E_ENV names the fixture's env file)

Every case gets a program directory of its own (KESTRO_HOME, with its own registry), a POP3
user and news groups of its own, so cases may run beside other tests. Prints a line per check
and "N passed, M failed"; exit status 1 when a check failed. The whole run gives up after
RUN_BOUND seconds and kills what it started (see bounded.py).
"""
import base64, os, re, subprocess, sys, time, traceback, uuid
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import runner
from runner import *  # noqa: F401,F403
from runner import bounded

# The cases take about a minute together; CTest's time-out for this test lies above the bound.
RUN_BOUND = 600

# ---- cases -------------------------------------------------------------------------------------

def case_openxp(p):
    """An OpenXP client box with fallback boxes: mail and news both ways, dupes across runs."""
    user, pw = new_user("oxp")
    groups = new_groups("oxp", 2, 5)
    drop_mail(user, "From: a@example.org\nTo: %s@example.org\nSubject: plain\n\nhello\n" % user)
    drop_mail(user, "From: b@example.org\nTo: %s@example.org\nSubject: umlaut\n"
                    "Content-Type: text/plain; charset=iso-8859-1\n"
                    "Content-Transfer-Encoding: 8bit\n\nGr\xfc\xdfe\n" % user)
    p.write("oxp.rc", "".join("%s 0\n" % g for g in groups))
    mid, article = outgoing_news(groups[0], "posted by kestro", "from the point")
    p.write("spool/N0001.OUT", article)
    p.write("spool/M0001.OUT", outgoing_mail("point@example.org", "%s@example.org" % user,
                                             "round trip", "line one\n..leading dot"))
    for fb in ("mfall", "nfall"):
        p.write(fb + ".bfg", "client-spool=%s\nclient-mailoutserver=%s\nclient-mailoutport=%d\n"
                             "client-newsserver=%s\nclient-newsport=%d\n"
                % (p.dir + fb + "spool/", HOST, port("SMTP"), HOST, port("NNTP")))
        os.makedirs(p.dir + fb + "spool/", exist_ok=True)
    box = p.write("oxp.bfg", """Username=point
Boxname=oxp
client-spool=%s
client-mailinserver=%s
client-mailinport=%d
client-mailinuser=%s
client-mailinpassword=%s
client-mailinkeep=N
client-mailoutserver=%s
client-mailoutport=%d
client-mailoutuser=%s
client-mailoutpassword=%s
client-mailfallback=mfall
client-newsserver=%s
client-newsport=%d
client-newsfallback=nfall
client-newslist=J
nntpdupesize=1000
""" % (p.spool, HOST, port("POP3"), user, pw, HOST, port("SMTP_AUTH"), E["KESTRO_E2E_SMTP_USER"],
       E["KESTRO_E2E_SMTP_PASS"], HOST, port("NNTP")))
    rc, wall, cpu, err = p.run(box)
    check("openxp: first run exits 0", rc == 0, (rc, err[-500:]))
    files1 = p.spool_files()
    arts1 = rnews_articles(files1)
    ids1 = [header(a, "Message-ID") for a in arts1]
    check("openxp: both dropped mails in the mail spool",
          sum(1 for m in mail_scripts(files1) if b"Subject: plain" in m or b"Subject: umlaut" in m)
          == 2)
    check("openxp: 8-bit mail kept its bytes", any(b"Gr\xfc\xdfe" in m for m in mail_scripts(files1)))
    check("openxp: the ten articles in rnews batches, each once",
          len(set(ids1)) == len(ids1) and len([i for i in ids1 if i != mid]) == 10, ids1)
    check("openxp: M*.OUT sent and deleted", not os.path.exists(p.spool + "M0001.OUT"))
    check("openxp: N*.OUT posted and deleted", not os.path.exists(p.spool + "N0001.OUT"))
    check("openxp: posted article is in INN", nntp_has(mid), mid)
    log = p.log("xpclient.log")
    for line in (" gestartet", "Nutze CRC Dupedatenbank (1000 Einträge)", "Remote Zeit: ",
                 "Onlinezeit: "):
        check("openxp: run log has %r" % line, line in log, log[-800:])
    rcfile = open(p.dir + "oxp.rc", newline="").read()
    check("openxp: the .rc advanced, written with CR LF",
          all(int(l.split()[1]) >= 5 for l in rcfile.split("\r\n") if l) and "\r\n" in rcfile,
          rcfile)
    check("openxp: the group list was written beside the box", os.path.exists(p.dir + "oxp.bl"))

    # Second run: every group read again from the start, and the dupe database keeps the
    # articles of the first run out.
    for f in os.listdir(p.spool):
        os.remove(p.spool + f)
    p.write("oxp.rc", "".join("%s 0\n" % g for g in groups))
    newmid = inject("From: x@example.org\nNewsgroups: %s\nSubject: new one\n\nnew\n" % groups[1])
    rc, wall, cpu, err = p.run(box)
    check("openxp: second run exits 0", rc == 0, (rc, err[-500:]))
    files2 = p.spool_files()
    ids2 = [header(a, "Message-ID") for a in rnews_articles(files2)]
    check("openxp: no article of the first run stored again", not set(ids1) & set(ids2), ids2)
    check("openxp: the new article arrived", newmid in ids2, (newmid, ids2))
    back = [m for m in mail_scripts(files1 + files2) if b"Subject: round trip" in m]
    check("openxp: mail sent by SMTP came back by POP3 once", len(back) == 1, len(back))
    check("openxp: dot-stuffed line came back whole",
          back and b"\r\n.leading dot" in back[0].replace(b"\r\n..", b"\r\n."))


def case_xp2(p):
    """An XP2 box with its own key names; -sendonly leaves the mailbox alone."""
    user, pw = new_user("xp2")
    groups = new_groups("xp2", 1, 3)
    drop_mail(user, "From: a@example.org\nSubject: waiting\n\nstays\n")
    p.write("xp2.rc", "%s 0\n" % groups[0])
    p.write("spool/M0001.OUT", outgoing_mail("p@example.org", "sink@example.org", "xp2", "body"))
    box = p.write("xp2.bfg", """# XP2-Boxen Konfiguration (ppp.bfg)
Boxname=xp2
PPP_UUZ_Spool=%s
Pop3Server=%s
Pop3Port=%d
Pop3User=%s
Pop3Pass=%s
SmtpServer=%s
SmtpPort=%d
NntpServer=%s
NntpPort=%d
NNTPList=N
""" % (p.spool, HOST, port("POP3"), user, pw, HOST, port("SMTP"), HOST, port("NNTP")))
    rc, wall, cpu, err = p.run("-sendonly", box)
    check("xp2 sendonly: exits 0", rc == 0, (rc, err[-500:]))
    check("xp2 sendonly: mailbox untouched", pop3_count(user, pw) == 1)
    check("xp2 sendonly: M*.OUT sent", not os.path.exists(p.spool + "M0001.OUT"))
    check("xp2 sendonly: no news fetched", rnews_articles(p.spool_files()) == [])
    check("xp2: run log is xp-ppp.log", " gestartet" in p.log("xp-ppp.log"))
    rc, wall, cpu, err = p.run(box)
    check("xp2: full run exits 0", rc == 0, (rc, err[-500:]))
    files = p.spool_files()
    check("xp2: mail fetched", len(mail_scripts(files)) == 1)
    check("xp2: news fetched", len(rnews_articles(files)) == 3)


def case_cfg_options(p):
    """-cfg and -cfgonly choose the .cfg over the point program's .bfg."""
    user, pw = new_user("cfg")
    drop_mail(user, "From: a@example.org\nSubject: cfg\n\nx\n")
    # The .cfg keeps no ports: its server names carry them.
    p.write("box.cfg", "### Kestro Configuration File Version 1 ###\nPop3Server=%s:%d\nPop3User=%s\n"
                       "Pop3Pass=%s\nPop3Spool=%s\nPop3Keep=enabled\n"
            % (HOST, port("POP3"), user, pw, p.spool))
    p.write("box.bfg", "Pop3Server=%s\nPop3Port=%d\nPop3User=%s\nPop3Pass=wrong\n"
            % (HOST, port("POP3"), user))
    rc, *_ = p.run(p.dir + "box")
    check("cfg: without option the .bfg wins (wrong password, exit 1)", rc == 1, rc)
    rc, *_ = p.run("-cfgonly", p.dir + "box")
    check("cfg: -cfgonly reads the .cfg alone (exit 0)", rc == 0, rc)
    check("cfg: mail fetched with -cfgonly", len(mail_scripts(p.spool_files())) == 1)
    rc, *_ = p.run("-cfg", p.dir + "box")
    check("cfg: -cfg exit code", rc in (0, 1), rc)


def case_failures(p):
    """Server down, a silent server, a wrong password, a failed dial and a missing box."""
    def box(name, server_port, extra=""):
        return p.write(name + ".bfg", "Pop3Server=%s\nPop3Port=%d\nPop3User=u\nPop3Pass=p\n"
                                      "Pop3Spool=%s\nPop3Timeout=2\n%s" % (HOST, server_port,
                                                                          p.spool, extra))
    down = port("POP3") + 19  # a port of the block nothing listens on
    rc, wall, *_ = p.run(box("down", down))
    check("failures: server down gives exit 1", rc == 1, rc)
    rc, wall, *_ = p.run(box("silent", port("FAKE_SILENT")))
    check("failures: silent server gives exit 2 (idle time-out)", rc == 2, rc)
    check("failures: the idle time-out ended the run soon", wall < 30, wall)
    rc, *_ = p.run(box("wrongpw", port("POP3")))
    check("failures: wrong password gives exit 1", rc == 1, rc)
    user, pw = new_user("dial")
    drop_mail(user, "Subject: must stay\n\nx\n")
    dial = p.write("dial.bfg", "Pop3Server=%s\nPop3Port=%d\nPop3User=%s\nPop3Pass=%s\n"
                               "Pop3Spool=%s\nDialOnStart=J\nDialName=nowhere\n"
                   % (HOST, port("POP3"), user, pw, p.spool))
    rc, *_ = p.run(dial, extra_env={"KESTRO_RAS_PROVIDER": "sim"})
    check("failures: failed dial gives exit 1", rc == 1, rc)
    check("failures: failed dial fetched nothing", pop3_count(user, pw) == 1)
    check("failures: failed dial is in the run log", "Fehler bei Anwahl von nowhere" in
          p.log("kestro.log"))
    rc, wall, cpu, err = p.run(p.dir + "missing-box", timeout=30)
    check("failures: missing box gives exit 1 without waiting", rc == 1 and wall < 20, (rc, wall))
    check("failures: missing box is named in the message", "missing-box" in err, err[-300:])


def case_refused_post(p):
    """A post the server refuses: exit 1, and the file stays for the next run."""
    mid, article = outgoing_news("e2e.no-such-group-%s" % uuid.uuid4().hex[:6], "refused",
                                 "nowhere to go")
    p.write("spool/N0001.OUT", article)
    box = p.write("post.bfg", "NntpServer=%s\nNntpPort=%d\nNntpSpool=%s\nNntpGetNewsList=N\n"
                              % (HOST, port("NNTP"), p.spool))
    rc, wall, cpu, err = p.run(box)
    check("refused post: exit 1", rc == 1, (rc, err[-300:]))
    check("refused post: its file stays", os.path.exists(p.spool + "N0001.OUT"))
    check("refused post: the refusal is in the run log", "NNTP Error 441 auf " in p.log("kestro.log"),
          p.log("kestro.log")[-500:])
    check("refused post: the server does not have it", not nntp_has(mid))


def case_refused_between(p):
    """A post to a group that does not exist between two valid ones, and a mail to a recipient
    the server refuses for good between two good ones: the valid ones go out, the refused file
    stays byte for byte, run after run, each run exits 1 and its log names the file."""
    group = new_groups("betw", 1, 1)[0]
    user, pw = new_user("betw")
    posts = [outgoing_news(group, "before the refused one", "one"),
             outgoing_news("e2e.no-such-group-%s" % uuid.uuid4().hex[:6], "refused", "nowhere"),
             outgoing_news(group, "after the refused one", "three")]
    for n, (mid, article) in enumerate(posts, 1):
        p.write("spool/N%04d.OUT" % n, article)
    rcpts = ["%s@example.org" % user, E["KESTRO_E2E_SMTP_REJECT_RCPT"], "%s@example.org" % user]
    for n, rcpt in enumerate(rcpts, 1):
        p.write("spool/M%04d.OUT" % n, outgoing_mail("point@example.org", rcpt, "mail %d" % n,
                                                     "body %d" % n))
    refused = {name: open(p.spool + name, "rb").read() for name in ("N0002.OUT", "M0002.OUT")}
    box = p.write("betw.bfg", "NntpServer=%s\nNntpPort=%d\nNntpSpool=%s\nNntpGetNewsList=N\n"
                              "SmtpServer=%s\nSmtpPort=%d\nSmtpSpool=%s\n"
                  % (HOST, port("NNTP"), p.spool, HOST, port("SMTP"), p.spool))
    for run in (1, 2):
        rc, wall, cpu, err = p.run(box)
        log = p.log("kestro.log")
        check("refused between, run %d: exit 1" % run, rc == 1, (rc, err[-300:], log[-800:]))
        left = sorted(n for n in os.listdir(p.spool) if n.upper().endswith(".OUT"))
        check("refused between, run %d: only the refused files stay" % run,
              left == ["M0002.OUT", "N0002.OUT"], left)
        for name, data in refused.items():
            check("refused between, run %d: %s stays byte for byte" % (run, name),
                  os.path.exists(p.spool + name) and open(p.spool + name, "rb").read() == data)
        check("refused between, run %d: the log names the refused article" % run,
              log.count("N0002.OUT) wurde abgewiesen und bleibt im Spool") == run, log[-800:])
        check("refused between, run %d: the log names the refused mail" % run,
              log.count("M0002.OUT) wurde abgewiesen und bleibt im Spool") == run, log[-800:])
        check("refused between, run %d: with the servers' lines" % run,
              log.count("NNTP Error 441 auf ") == run and log.count("SMTP Error 550 auf ") == run,
              log[-800:])
        check("refused between, run %d: the servers' lines without the line ends of the wire"
              % run, "\\x0D\\x0A" not in log, log[-800:])
    check("refused between: the articles before and after it reached INN, once",
          nntp_has(posts[0][0]) and nntp_has(posts[2][0]) and not nntp_has(posts[1][0]))
    check("refused between: the mails before and after it arrived, once",
          pop3_count(user, pw) == 2, pop3_count(user, pw))


def case_refused_multiline(p):
    """A server that words its refusals on several lines, as large providers do: a recipient
    refused, a body refused, and the last mail's recipient refused. Each refused file stays, the
    others go out on the one connection, the run log shows what the server said, and the client
    itself ends the session with QUIT."""
    rcpt_refusal = ["550-5.1.1 The email account that you tried to reach does not exist. Please try",
                    "550-5.1.1 double-checking the recipient's email address for typos or",
                    "550 5.1.1 unnecessary spaces. (scripted)"]
    body_refusal = ["554-5.7.1 Message refused", "554 5.7.1 by policy (scripted)"]
    rcpts = ["gone@example.org", "ann@example.org", "bob@example.org", "carl@example.org",
             "gone2@example.org"]
    for n, rcpt in enumerate(rcpts, 1):
        p.write("spool/M%04d.OUT" % n, outgoing_mail("point@example.org", rcpt, "mail %d" % n,
                                                     "body %d" % n))
    kept = {n: open(p.spool + n, "rb").read() for n in ("M0001.OUT", "M0003.OUT", "M0005.OUT")}

    def envelope(rcpt):
        return ["C: MAIL FROM:<point@example.org>", "S: 250 OK", "C: RCPT TO:<%s>" % rcpt]
    body = ["S: 250 OK", "C: DATA", "S: 354 go ahead", "U: ."]
    said = lambda lines: ["S: " + l for l in lines]
    steps = (["S: 220 fake.test.invalid ESMTP", "C: EHLO point", "S: 250 fake.test.invalid"]
             + envelope(rcpts[0]) + said(rcpt_refusal) + ["C: RSET", "S: 250 2.0.0 flushed"]
             + envelope(rcpts[1]) + body + ["S: 250 queued"]
             + envelope(rcpts[2]) + body + said(body_refusal) + ["C: RSET", "S: 250 flushed"]
             + envelope(rcpts[3]) + body + ["S: 250 queued"]
             + envelope(rcpts[4]) + said(rcpt_refusal) + ["C: QUIT", "S: 221 bye", "X"])
    script = p.write("refusals.txt", "\n".join(steps) + "\n")
    with open(p.dir + "fake.err", "wb") as errors:
        server = bounded.popen([E["KESTRO_E2E_PYTHON"], E["KESTRO_E2E_FAKE_SERVER"],
                                "transcript:0:" + script], stdout=subprocess.PIPE, stderr=errors)
        try:
            fake_port = int(server.stdout.readline().split()[2])  # "ready transcript PORT"
            box = p.write("multi.bfg", "SmtpServer=%s\nSmtpPort=%d\nSmtpSpool=%s\nsmpttimeout=20\n"
                          % (HOST, fake_port, p.spool))
            rc, wall, cpu, err = p.run(box)
        finally:
            server.terminate()
            bounded.stop(server, 10)
    log = p.log("kestro.log")
    check("refused multi-line: exit 1", rc == 1, (rc, err[-300:], log[-800:]))
    left = sorted(n for n in os.listdir(p.spool) if n.upper().endswith(".OUT"))
    check("refused multi-line: the refused files stay, byte for byte",
          left == sorted(kept) and all(open(p.spool + n, "rb").read() == d
                                       for n, d in kept.items()), left)
    # The fake server names the step of its script that the client failed.
    errors = open(p.dir + "fake.err", "rb").read()
    check("refused multi-line: the server heard every command it waited for, QUIT last",
          re.search(rb"line \d+:", errors) is None, errors)
    text550 = " ".join(l[4:] for l in rcpt_refusal)
    check("refused multi-line: both recipient refusals logged with all their text",
          log.count("SMTP Error 550 auf %s: %s\r\n" % (HOST, text550)) == 2, log[-1500:])
    check("refused multi-line: the body refusal logged with all its text",
          "SMTP Error 554 auf %s: %s\r\n" % (HOST, " ".join(l[4:] for l in body_refusal)) in log,
          log[-1500:])
    for n in (1, 3, 5):
        check("refused multi-line: the log names M%04d.OUT" % n,
              "M%04d.OUT) wurde abgewiesen und bleibt im Spool" % n in log, log[-1500:])
    check("refused multi-line: no line end of the wire in the log", "\\x0D\\x0A" not in log,
          log[-1500:])
    check("refused multi-line: the server is not blamed for the close",
          "vorzeitig beendet" not in log, log[-1500:])


def case_posted_before(p):
    """An article INN holds already (a run ended between its acceptance and the deletion of its
    file): its refusal counts as delivery, and the article after it goes out too."""
    group = new_groups("dup", 1, 1)[0]
    mid, article = outgoing_news(group, "posted before", "already there")
    inject(article)
    mid2, article2 = outgoing_news(group, "posted now", "new")
    p.write("spool/N0001.OUT", article)
    p.write("spool/N0002.OUT", article2)
    box = p.write("dup.bfg", "NntpServer=%s\nNntpPort=%d\nNntpSpool=%s\nNntpGetNewsList=N\n"
                             % (HOST, port("NNTP"), p.spool))
    rc, wall, cpu, err = p.run(box)
    log = p.log("kestro.log")
    check("posted before: exit 0", rc == 0, (rc, err[-300:], log[-500:]))
    check("posted before: the log says it was there already",
          "Artikel 1 ist auf %s bereits vorhanden und gilt als versandt: 441 435" % HOST in log,
          log[-500:])
    check("posted before: both files are gone",
          not [n for n in os.listdir(p.spool) if n.upper().endswith(".OUT")], os.listdir(p.spool))
    check("posted before: the next article reached INN", nntp_has(mid2), mid2)


def case_second_instance(p):
    """A second start while one runs brings the first forward and ends at once."""
    box = p.write("slow.bfg", "Pop3Server=%s\nPop3Port=%d\nPop3User=u\nPop3Pass=p\n"
                              "Pop3Spool=%s\nPop3Timeout=4\n" % (HOST, port("FAKE_SILENT"), p.spool))
    first = bounded.popen([KESTRO, box], env=p.env, cwd=p.home, stdin=subprocess.DEVNULL,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        deadline = time.monotonic() + 20
        while " gestartet" not in p.log("kestro.log") and time.monotonic() < deadline:
            time.sleep(0.05)
        rc, wall, *_ = p.run(box, timeout=30)
        check("second instance: ends with exit 3", rc == 3, rc)
        check("second instance: ends at once", wall < 3, wall)
        check("second instance: the first one still runs", first.poll() is None)
    finally:
        rc = bounded.stop(first, 60)
    check("second instance: the first one ends by its time-out (exit 2)", rc == 2, rc)


def case_parallel_news(p):
    """MaxThreads 8 and 16 groups: several news tasks fetch at the same time."""
    groups = new_groups("par", 16, 30)
    p.write("par.rc", "".join("%s 0\n" % g for g in groups))
    box = p.write("par.bfg", "NntpServer=%s\nNntpPort=%d\nNntpSpool=%s\nNntpGetNewsList=N\n"
                             "NntpPosting=N\nNntpMaxThreads=8\n" % (HOST, port("FAKE_DELAY_NNTP"), p.spool))
    rc, wall, cpu, err = p.run(box, timeout=300)
    check("parallel: exits 0", rc == 0, (rc, err[-500:]))
    check("parallel: all 480 articles fetched", len(rnews_articles(p.spool_files())) == 480)
    # Every command waits 200 ms at the server: one task after the other would need far longer.
    serial = 16 * 30 * 0.2
    check("parallel: tasks overlapped (%.1f s against %.0f s one at a time)" % (wall, serial),
          wall < serial / 3, wall)


def case_oversize(p):
    """A mail above the size limit: stored in part once over three calls while it stays on the
    server, whole once the limit is raised."""
    user, pw = new_user("big")
    drop_mail(user, "From: a@example.org\nSubject: big one\n\n" +
              "".join("line %d %s\n" % (i, "x" * 70) for i in range(400)))
    box = ("client-spool=%s\nclient-mailinserver=%s\nclient-mailinport=%d\nclient-mailinuser=%s\n"
           "client-mailinpassword=%s\n" % (p.spool, HOST, port("POP3"), user, pw))
    path = p.write("cut.bfg", box + "pop3maxlen=20\n")
    for call in (1, 2, 3):
        drop_mail(user, "From: b@example.org\nSubject: call %d\n\nsmall\n" % call)
        rc, *_, err = p.run(path)
        check("oversize: call %d exits 0" % call, rc == 0, (rc, err[-500:]))
        mails = mail_scripts(p.spool_files())
        cut = [m for m in mails if b"\r\nDer Rest dieser Nachricht" in m]
        check("oversize: call %d: the big mail is in the spool once, in part" % call, len(cut) == 1,
              len(cut))
        check("oversize: call %d: the small mail came" % call,
              any(b"Subject: call %d\r\n" % call in m for m in mails))
        check("oversize: call %d: the big mail alone stays on the server" % call,
              pop3_count(user, pw) == 1)
    ids = open(p.dir + "cut.big", "rb").read()
    check("oversize: its id is remembered beside the box", ids.count(b"\r\n") == 1, ids)
    check("oversize: the run log says it was fetched before",
          "wurde schon teilweise geholt" in p.log("xpclient.log"))
    p.write("cut.bfg", box + "pop3maxlen=40\n")
    rc, *_, err = p.run(path)
    check("oversize: raised limit exits 0", rc == 0, (rc, err[-500:]))
    check("oversize: raised limit: the whole mail came",
          sum(b"\r\nline 399 " in m for m in mail_scripts(p.spool_files())) == 1)
    check("oversize: raised limit: the mailbox is empty", pop3_count(user, pw) == 0)
    check("oversize: raised limit: nothing is remembered", not os.path.exists(p.dir + "cut.big"))


def case_unseen(p):
    """A run nobody sees (offscreen: no GUI application object, text measured by a fixed metric)
    writes the log and spool that a run with its window shown writes (Qt's minimal platform with
    its fonts: a QApplication, the window shown and measured by the font system). Only the shown
    run keeps its window's state: the unseen one stores neither its placement nor its bars'
    layout, which would be those of a screen nobody looked at."""
    user, pw = new_user("uns")
    groups = new_groups("uns", 2, 4)
    drop_mail(user, "From: a@example.org\nSubject: seen or not\n\nthe same\n")
    drop_mail(user, "From: b@example.org\nSubject: second\n\nbytes\n")
    seen = Program("seen", time_server=False)
    runs = {}
    try:
        for name, prog, platform in (("unseen", p, "offscreen"),
                                     ("seen", seen, "minimal:enable_fonts")):
            prog.write("uns.rc", "".join("%s 0\n" % g for g in groups))
            box = prog.write("uns.bfg", "Pop3Server=%s\nPop3Port=%d\nPop3User=%s\nPop3Pass=%s\n"
                                        "Pop3Keep=J\nNntpServer=%s\nNntpPort=%d\nNntpGetNewsList=N\n"
                                        "NntpMaxThreads=1\nGlobalSpool=%s\n"
                             % (HOST, port("POP3"), user, pw, HOST, port("NNTP"), prog.spool))
            rc, wall, cpu, err = prog.run(box, extra_env={"QT_QPA_PLATFORM": platform})
            check("unseen: the %s run exits 0" % name, rc == 0, (rc, err[-500:]))
            files = prog.spool_files()
            # the log's lines without their time stamps, the online time and the program's
            # directory; mail and news run side by side, so their lines may interleave
            log = sorted(line[20:].replace(prog.dir, "DIR/")
                         for line in prog.log("kestro.log").splitlines()
                         if "Onlinezeit" not in line)
            hive = prog.home + "reg/HKEY_CURRENT_USER.reg"
            runs[name] = (sorted(mail_scripts(files)), sorted(rnews_articles(files)), log,
                          open(hive, "rb").read() if os.path.exists(hive) else None,
                          os.path.exists(prog.home + "kestro.xml"))
    finally:
        seen.cleanup()
    unseen, shown = runs.get("unseen"), runs.get("seen")
    if not unseen or not shown:
        return
    check("unseen: two mails and eight articles arrived",
          len(unseen[0]) == 2 and len(unseen[1]) == 8, (len(unseen[0]), len(unseen[1])))
    check("unseen: the same mail spool as the seen run", unseen[0] == shown[0])
    check("unseen: the same news batches as the seen run", unseen[1] == shown[1])
    check("unseen: the same run log as the seen run", unseen[2] == shown[2],
          (unseen[2], shown[2]))
    check("unseen: the seen run stores its window's bar layout and placement",
          shown[3] is not None and b"[Software\\Orvalin\\Kestro\\Bars]" in shown[3] and shown[4],
          (shown[3], shown[4]))
    check("unseen: the unseen run stores no window state", unseen[3] is None and not unseen[4],
          (unseen[3], unseen[4]))


def case_killed_fetch(p):
    """A fetch ended with a mail whole under its temporary name but not yet listed as stored, as
    a kill there would: the next run fetches the mail again, stores every mail once and leaves no
    temporary file in the spool, with the server's ids tracked and without (Pop3Keep)."""
    for keep in ("N", "J"):
        user, pw = new_user("kil")
        for n in (1, 2):
            drop_mail(user, "From: a@example.org\nSubject: killed fetch %d\n\nbody %d\n" % (n, n))
        spool = p.dir + "spool-%s/" % keep
        os.makedirs(spool)
        box = p.write("kil%s.bfg" % keep, "Pop3Server=%s\nPop3Port=%d\nPop3User=%s\nPop3Pass=%s\n"
                                         "Pop3Spool=%s\nPop3Keep=%s\n"
                      % (HOST, port("POP3"), user, pw, spool, keep))
        label = "killed fetch (Pop3Keep=%s)" % keep
        rc, *_ = p.run(box, extra_env={"KESTRO_EXIT_AT": "mail-written"})
        left = sorted(os.listdir(spool))
        check("%s: the first run ended with a mail under its temporary name" % label,
              rc == 86 and left == ["m0.tmp"], (rc, left))
        rc, wall, cpu, err = p.run(box)
        check("%s: the next run exits 0" % label, rc == 0, (rc, err[-300:]))
        names = sorted(os.listdir(spool))
        check("%s: no temporary file is left" % label,
              not [n for n in names if n.lower().endswith(".tmp")], names)
        subjects = sorted(header(open(spool + n, "rb").read().split(b"DATA\r\n", 1)[1],
                                 "Subject") for n in names if n.endswith(".msg"))
        check("%s: every mail once" % label, subjects == ["killed fetch 1", "killed fetch 2"],
              subjects)
        check("%s: the removal is in the run log" % label,
              "Unvollständige Nachricht %sm0.tmp" % spool in p.log("kestro.log"),
              p.log("kestro.log")[-600:])


def long_line_attachment(subject, name, content, head):
    """A message with a file part whose base64 lines are 120 characters long, as some mailers
    write them (the encoding allows 76)."""
    encoded = base64.b64encode(content).decode()
    lines = "\n".join(encoded[i:i + 120] for i in range(0, len(encoded), 120))
    return ("%sSubject: %s\nMIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=\"XX\"\n\n"
            "--XX\nContent-Type: text/plain\n\nsee the file\n"
            "--XX\nContent-Type: application/octet-stream\nContent-Transfer-Encoding: base64\n"
            "Content-Disposition: attachment; filename=%s\n\n%s\n--XX--\n"
            % (head, subject, name, lines))


def case_long_lines(p):
    """A mailbox and a group whose first message has an attachment in base64 lines longer than
    the encoding allows, with ExtractAttach on: both messages of each are stored, the attachments
    extracted, the mailbox emptied and the group's line at its last article."""
    user, pw = new_user("long")
    group = new_groups("long", 1, 0)[0]
    mail_file = bytes((i * 7 + 3) % 256 for i in range(3000))
    news_file = bytes((i * 11 + 5) % 256 for i in range(3000))
    drop_mail(user, long_line_attachment("long lines", "mail.bin", mail_file,
                                         "From: a@example.org\nTo: %s@example.org\n" % user))
    drop_mail(user, "From: b@example.org\nSubject: after it\n\nsecond\n")
    inject(long_line_attachment("long lines", "news.bin", news_file,
                                "From: a@example.org\nNewsgroups: %s\nMessage-ID: <long1.%s@e2e>\n"
                                % (group, user)))
    inject("From: b@example.org\nNewsgroups: %s\nSubject: after it\nMessage-ID: <long2.%s@e2e>\n\n"
           "second\n" % (group, user))
    files = p.dir + "files/"
    os.makedirs(files)
    p.write("long.rc", "%s 0\n" % group)
    box = p.write("long.bfg", "Pop3Server=%s\nPop3Port=%d\nPop3User=%s\nPop3Pass=%s\n"
                              "NntpServer=%s\nNntpPort=%d\nNntpGetNewsList=N\nGlobalSpool=%s\n"
                              "ExtractAttach=J\nExtractPath=%s\n"
                  % (HOST, port("POP3"), user, pw, HOST, port("NNTP"), p.spool, files))
    rc, wall, cpu, err = p.run(box)
    check("long lines: the run exits 0", rc == 0, (rc, err[-500:], p.log("kestro.log")[-800:]))
    spool = p.spool_files()
    mails = mail_scripts(spool)
    check("long lines: both mails stored", len(mails) == 2 and
          any(b"Subject: long lines" in m for m in mails) and
          any(b"Subject: after it" in m for m in mails), len(mails))
    check("long lines: the mailbox is empty", pop3_count(user, pw) == 0)
    articles = rnews_articles(spool)
    check("long lines: both articles stored", sorted(header(a, "Subject") for a in articles) ==
          ["after it", "long lines"], [header(a, "Subject") for a in articles])
    for name, content in (("mail.bin", mail_file), ("news.bin", news_file)):
        got = open(files + name, "rb").read() if os.path.exists(files + name) else None
        check("long lines: %s extracted whole" % name, got == content,
              None if got is None else len(got))
    rcfile = open(p.dir + "long.rc", newline="").read()
    check("long lines: the group's line at 2", rcfile == "%s 2\r\n" % group, rcfile)
    check("long lines: no error in the run log", "Error" not in p.log("kestro.log"),
          p.log("kestro.log")[-800:])


CASES = [("openxp", case_openxp, {}), ("xp2", case_xp2, {}), ("cfg", case_cfg_options, {}),
         ("failures", case_failures, {"time_server": False}),
         ("refused-post", case_refused_post, {"time_server": False}),
         ("posted-before", case_posted_before, {"time_server": False}),
         ("refused-between", case_refused_between, {"time_server": False}),
         ("refused-multiline", case_refused_multiline, {"time_server": False}),
         ("second", case_second_instance, {"time_server": False}),
         ("parallel", case_parallel_news, {"time_server": False}),
         ("oversize", case_oversize, {"time_server": False}),
         ("unseen", case_unseen, {"time_server": False}),
         ("long-lines", case_long_lines, {"time_server": False}),
         ("killed-fetch", case_killed_fetch, {"time_server": False})]


def main():
    bounded.give_up_after(RUN_BOUND, "exchange_e2e.py")
    only = set(sys.argv[2:])
    for name, fn, opts in CASES:
        if only and name not in only:
            continue
        prog = Program(name, **opts)
        try:
            fn(prog)
        except Exception:
            check(name + " ran through", False, traceback.format_exc()[-1500:])
        finally:
            prog.cleanup()
    print("%d passed, %d failed" % (runner.passed, runner.failed))
    sys.exit(1 if runner.failed else 0)


if __name__ == "__main__":
    main()
