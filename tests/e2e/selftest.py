#!/usr/bin/python3
"""Checks every server of the e2e fixture with Python's own clients (stdlib only).

Reads the env file named by $KESTRO_E2E_ENV (written by harness.sh start_all), prints one line
per check and "N passed, M failed"; exit status 1 when a check failed. Works in its own POP3
user (selftest), so other tests may use the stock users at the same time. Gives up after
RUN_BOUND seconds and kills the helpers it started (see bounded.py).
"""
import datetime, io, json, os, poplib, smtplib, socket, struct, sys, time, uuid
import warnings
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import bounded
warnings.simplefilter("ignore", DeprecationWarning)
import nntplib  # deprecated in 3.11 (removed in 3.13); Debian 12 has 3.11

env_path = os.environ.get("KESTRO_E2E_ENV")
if not env_path or not os.path.exists(env_path):
    sys.exit("KESTRO_E2E_ENV does not name the fixture's env file (%r)" % env_path)
E = dict(l.rstrip("\n").split("=", 1) for l in open(env_path) if "=" in l and not l.startswith("#"))
H = E["KESTRO_E2E_HOST"]
port = lambda name: int(E["KESTRO_E2E_%s_PORT" % name])
TIMEOUT = 10
HELPER_TIMEOUT = 60  # adduser, drop, inject, bulk: a second or two each
RUN_BOUND = 240  # the checks take a few seconds; CTest's time-out lies above this
bounded.give_up_after(RUN_BOUND, "selftest.py")
passed = failed = 0


def check(name, cond, info=""):
    global passed, failed
    if cond:
        passed += 1
    else:
        failed += 1
    print(("PASS " if cond else "FAIL ") + name + ("" if cond or info == "" else " -- %r" % (info,)),
          flush=True)


def section(name, fn):
    try:
        fn()
    except Exception as e:  # a broken server must not hide the other sections' results
        check(name + " section ran through", False, e)


def until(cond, seconds=5.0):
    """Polls cond() until it is true, for at most `seconds` (servers work asynchronously)."""
    end = time.monotonic() + seconds
    while True:
        v = cond()
        if v or time.monotonic() > end:
            return v
        time.sleep(0.02)


tag = uuid.uuid4().hex[:10]
user, password = "selftest" + tag, "pw-" + tag
bounded.run([E["KESTRO_E2E_ADDUSER"], user, password], HELPER_TIMEOUT, check=True)


def pop_login():
    p = poplib.POP3(H, port("POP3"), timeout=TIMEOUT)
    p.user(user)
    p.pass_(password)
    return p


def pop3():
    raw = (b"From: drop@example.org\r\nSubject: dropped %s\r\n\r\nfirst\r\n.starts with a dot\r\n"
           b"last\r\n" % tag.encode())
    bounded.run([E["KESTRO_E2E_POP3_DROP"], user], HELPER_TIMEOUT, input=raw, check=True)
    p = poplib.POP3(H, port("POP3"), timeout=TIMEOUT)
    welcome = p.getwelcome().decode()
    check("POP3 greeting carries an APOP timestamp", "<" in welcome and "@" in welcome, welcome)
    p.user(user)
    p.pass_(password)
    n, size = p.stat()
    check("POP3 USER/PASS, STAT sees the dropped mail", n == 1 and size == len(raw), (n, size))
    lines = p.retr(1)[1]
    check("POP3 RETR gives the bytes back, dot-unstuffed", b"\r\n".join(lines) + b"\r\n" == raw, lines)
    check("POP3 TOP 1 1 = header and one body line", p.top(1, 1)[1][-1] == b"first")
    check("POP3 UIDL", len(p.uidl(1).split()) == 3)
    try:
        p._shortcmd("LAST")
        check("POP3 LAST is not supported by Dovecot", False)
    except poplib.error_proto as e:
        check("POP3 LAST is not supported by Dovecot", str(e).startswith("b'-ERR"), e)
    check("POP3 DELE", p.dele(1).startswith(b"+OK"))
    p.quit()
    p = poplib.POP3(H, port("POP3"), timeout=TIMEOUT)
    check("POP3 APOP login", p.apop(user, password).startswith(b"+OK"))
    check("POP3 mail gone after DELE and QUIT", p.stat()[0] == 0)
    p.quit()
    p = poplib.POP3(H, port("POP3"), timeout=TIMEOUT)
    try:
        p.apop(user, "wrong")
        check("POP3 APOP with a wrong password is refused", False)
    except poplib.error_proto as e:
        check("POP3 APOP with a wrong password is refused", "-ERR" in str(e), e)
    p.close()
    p = poplib.POP3(H, port("POP3"), timeout=TIMEOUT)
    check("POP3 a correct login right after a failed one", p.apop(user, password).startswith(b"+OK"))
    p.quit()


def smtp():
    body = (b"From: alice@example.org\r\nTo: %s@localhost\r\nSubject: smtp %s\r\n\r\n"
            b"line one\r\n.leading dot\r\n" % (user.encode(), tag.encode()))
    s = smtplib.SMTP(H, port("SMTP"), timeout=TIMEOUT)
    code, caps = s.ehlo("client.test")
    check("SMTP EHLO offers AUTH LOGIN", code == 250 and b"LOGIN" in caps, caps)
    s.sendmail("alice@example.org", ["%s@localhost" % user], body)
    try:
        s.sendmail("alice@example.org", [E["KESTRO_E2E_SMTP_REJECT_RCPT"]], body)
        check("SMTP scripted 550 for the reject recipient", False)
    except smtplib.SMTPRecipientsRefused as e:
        check("SMTP scripted 550 for the reject recipient",
              list(e.recipients.values())[0][0] == 550, e.recipients)
    s.rset()
    s.mail("alice@example.org")
    check("SMTP scripted 451 for the tempfail recipient",
          s.rcpt(E["KESTRO_E2E_SMTP_TEMPFAIL_RCPT"])[0] == 451)
    s.quit()

    s = smtplib.SMTP(H, port("SMTP_AUTH"), timeout=TIMEOUT)
    s.ehlo("client.test")
    check("SMTP auth port answers 530 before AUTH", s.mail("alice@example.org")[0] == 530)
    s.user, s.password = user, "wrong"
    try:
        s.auth("LOGIN", s.auth_login, initial_response_ok=False)
        check("SMTP AUTH LOGIN with a wrong password gives 535", False)
    except smtplib.SMTPAuthenticationError as e:
        check("SMTP AUTH LOGIN with a wrong password gives 535", e.smtp_code == 535, e)
    s.user, s.password = user, password
    code, _ = s.auth("LOGIN", s.auth_login, initial_response_ok=False)
    check("SMTP AUTH LOGIN", code == 235)
    s.sendmail("bob@example.org", ["%s@localhost" % user], body.replace(b"smtp ", b"auth "))
    s.quit()

    recs = [json.loads(l) for l in open(E["KESTRO_E2E_SMTP_LOG"]) if tag in l or user in l]
    mine = [r for r in recs if r["rcpt_tos"] == ["%s@localhost" % user]]
    check("SMTP JSONL log has both envelopes", len(mine) == 2 and mine[1]["auth"] == user, mine)
    if mine:
        check("SMTP stored the message bytes exactly", open(mine[0]["files"][0], "rb").read() == body)
    p = pop_login()
    n = p.stat()[0]
    subjects = [l for i in range(1, n + 1) for l in p.top(i, 0)[1] if l.startswith(b"Subject:")]
    check("SMTP to POP3: both messages fetched by POP3",
          sorted(subjects) == [b"Subject: auth " + tag.encode(), b"Subject: smtp " + tag.encode()],
          subjects)
    for i in range(1, n + 1):
        p.dele(i)
    p.quit()


def nntp():
    n1 = nntplib.NNTP(H, port("NNTP"), readermode=True, timeout=TIMEOUT)
    check("NNTP greeting 200", n1.getwelcome().startswith("200"), n1.getwelcome())
    names = [g.group for g in n1.list()[1]]
    check("NNTP LIST has test.one and hides private.staff",
          "test.one" in names and "private.staff" not in names, names)
    art = ("From: Bob <bob@example.org>\r\nNewsgroups: test.one\r\nSubject: post %s\r\n\r\n"
           "news body\r\n.dot line\r\n" % tag).encode()
    check("NNTP POST 240", n1.post(io.BytesIO(art)).startswith("240"))
    def find_post():  # other tests may post to test.one at the same time
        last = n1.group("test.one")[3]
        for number, over in n1.over((max(1, last - 100), last))[1]:
            if tag in over.get("subject", ""):
                return number
        return 0
    number = until(find_post)
    lines = n1.article(number)[1].lines if number else []
    check("NNTP ARTICLE of the post, dot-stuffing right", b".dot line" in lines, lines)
    mid = next((l.split(b":", 1)[1].strip().decode() for l in lines
                if l.lower().startswith(b"message-id:")), "<none>")
    n0 = nntplib.NNTP(H, port("NNTP"), readermode=True, timeout=TIMEOUT)
    check("NNTP HEAD by Message-ID", any(tag.encode() in l for l in n0.head(mid)[1].lines))
    n0.quit()
    try:
        n1.group("private.staff")
        check("NNTP private group needs AUTHINFO (480)", False)
    except nntplib.NNTPTemporaryError as e:
        check("NNTP private group needs AUTHINFO (480)", str(e).startswith("480"), e)
    group = "selftest.g" + tag
    since = datetime.datetime.now(datetime.timezone.utc) - datetime.timedelta(minutes=5)
    bounded.run([E["KESTRO_E2E_NNTP_NEWGROUP"], group], HELPER_TIMEOUT, check=True)
    injected = bounded.run([E["KESTRO_E2E_NNTP_INJECT"]], HELPER_TIMEOUT, check=True,
                           input=("From: x@example.org\nNewsgroups: %s\nSubject: injected\n\n"
                                  "body\n" % group).encode()).stdout.decode().strip()
    new = [g.group for g in n1.newgroups(since)[1]]
    check("NNTP NEWGROUPS lists a new group, not the stock ones",
          group in new and "test.one" not in new, new)
    n1.quit()
    # a new connection: nnrpd looks Message-IDs up in the history as it was when it started
    n1 = nntplib.NNTP(H, port("NNTP"), readermode=True, timeout=TIMEOUT)
    check("NNTP inject helper: article readable by Message-ID",
          n1.stat(injected)[0].startswith("223"), injected)
    n1.quit()

    n2 = nntplib.NNTP(H, port("NNTP"), user=E["KESTRO_E2E_NNTP_USER"],
                      password=E["KESTRO_E2E_NNTP_PASS"], readermode=True, timeout=TIMEOUT)
    check("NNTP AUTHINFO USER/PASS opens private.staff",
          n2.group("private.staff")[0].startswith("211"))
    n2.quit()
    try:
        nntplib.NNTP(H, port("NNTP"), user=E["KESTRO_E2E_NNTP_USER"], password="nope",
                     readermode=True, timeout=TIMEOUT)
        check("NNTP AUTHINFO with a wrong password gives 481", False)
    except nntplib.NNTPError as e:
        check("NNTP AUTHINFO with a wrong password gives 481", "481" in str(e), e)

    n3 = nntplib.NNTP(H, port("NNTP_AUTH"), readermode=False, timeout=TIMEOUT)
    try:
        n3.group("test.one")
        check("NNTP auth port answers 480 before AUTHINFO", False)
    except nntplib.NNTPTemporaryError as e:
        check("NNTP auth port answers 480 before AUTHINFO", str(e).startswith("480"), e)
    n3.login(E["KESTRO_E2E_NNTP_USER2"], E["KESTRO_E2E_NNTP_PASS2"])
    check("NNTP auth port: GROUP after AUTHINFO", n3.group(group)[1] == 1)
    n3.quit()

    out = bounded.run([E["KESTRO_E2E_NNTP_BULK"], "--groups", "2", "--articles", "5",
                       "--prefix", "selftest.bulk" + tag], HELPER_TIMEOUT)
    n4 = nntplib.NNTP(H, port("NNTP"), readermode=True, timeout=TIMEOUT)
    counts = [n4.group("selftest.bulk%s.%d" % (tag, g))[1] for g in (1, 2)]
    check("NNTP bulk helper fills groups", out.returncode == 0 and counts == [5, 5],
          (out.stdout, out.stderr, counts))
    n4.quit()


def read_exactly(sock, n):
    data = b""
    while len(data) < n:
        b = sock.recv(n - len(data))
        if not b:
            break
        data += b
    return data


def timesvc():
    c = socket.create_connection((H, port("TIME")), timeout=TIMEOUT)
    d = read_exactly(c, 5)
    c.close()
    near = lambda d: len(d) == 4 and abs(struct.unpack("!I", d)[0] - 2208988800 - time.time()) < 5
    check("TIME over TCP: 4 bytes, now, then close", near(d), d)
    u = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    u.settimeout(TIMEOUT)
    u.sendto(b"", (H, port("TIME")))
    d = u.recvfrom(16)[0]
    check("TIME over UDP", near(d), d)
    c = socket.create_connection((H, port("DAYTIME")), timeout=TIMEOUT)
    line = read_exactly(c, 200)
    year = str(time.gmtime().tm_year).encode()
    check("DAYTIME over TCP: one line with the year", line.endswith(b"\r\n") and year in line, line)
    u.sendto(b"x", (H, port("DAYTIME")))
    d = u.recvfrom(200)[0]
    check("DAYTIME over UDP", year in d, d)


def fake():
    c = socket.create_connection((H, port("FAKE_SILENT")), timeout=TIMEOUT)
    c.settimeout(0.3)
    try:
        got = c.recv(10)
        check("fake silent server says nothing", False, got)
    except socket.timeout:
        check("fake silent server says nothing", True)
    c.close()
    for proto, start in (("POP3", b"+OK"), ("SMTP", b"220"), ("NNTP", b"200")):
        c = socket.create_connection((H, port("FAKE_CLOSE_" + proto)), timeout=TIMEOUT)
        data = read_exactly(c, 1000)
        check("fake %s greeting then close" % proto, data.startswith(start) and data.endswith(b"\r\n"),
              data)
        c.close()
    c = socket.create_connection((H, port("FAKE_DELAY_POP3")), timeout=TIMEOUT)
    f = c.makefile("rwb")
    check("fake delay relays the POP3 greeting", f.readline().startswith(b"+OK"))
    t = time.monotonic()
    f.write(b"CAPA\r\n")
    f.flush()
    reply = f.readline()
    took = time.monotonic() - t
    check("fake delay: answer comes after the delay",
          reply.startswith(b"+OK") and took >= int(E["KESTRO_E2E_FAKE_DELAY_MS"]) / 1000, (reply, took))
    while reply and reply != b".\r\n":  # rest of the CAPA list
        reply = f.readline()
    f.write(b"QUIT\r\n")
    f.flush()
    c.close()


def loopback_only():
    """Every TCP or UDP socket the servers (and their children) have open is bound to
    127.0.0.1: nothing listens on another address."""
    pids = set()
    for sub in os.listdir(E["KESTRO_E2E_DIR"]):
        d = os.path.join(E["KESTRO_E2E_DIR"], sub)
        for f in os.listdir(d) if os.path.isdir(d) else []:
            if f.endswith(".pid"):
                pids.add(open(os.path.join(d, f)).read().strip())
    parents = {}
    for p in filter(str.isdigit, os.listdir("/proc")):
        try:
            parents[p] = open("/proc/%s/stat" % p).read().rsplit(")", 1)[1].split()[1]
        except OSError:
            pass
    while True:  # add children, grandchildren, ...
        more = {p for p, pp in parents.items() if pp in pids} - pids
        if not more:
            break
        pids |= more
    inodes = set()
    for p in pids:
        try:
            for fd in os.listdir("/proc/%s/fd" % p):
                link = os.readlink("/proc/%s/fd/%s" % (p, fd))
                if link.startswith("socket:["):
                    inodes.add(link[8:-1])
        except OSError:
            pass
    bound = []
    for table in ("tcp", "udp", "tcp6", "udp6"):
        for line in open("/proc/net/" + table).readlines()[1:]:
            f = line.split()
            if f[9] in inodes:
                bound.append((table, f[1]))
    bad = [b for b in bound if b[0].endswith("6") or not b[1].startswith("0100007F:")]
    check("servers bind 127.0.0.1 only (%d sockets, %d processes)" % (len(bound), len(pids)),
          bound and not bad, bad)


for name, fn in (("LOOPBACK", loopback_only), ("POP3", pop3), ("SMTP", smtp), ("NNTP", nntp), ("TIME", timesvc), ("FAKE", fake)):
    section(name, fn)
print("%d passed, %d failed" % (passed, failed))
sys.exit(1 if failed else 0)
