#!/usr/bin/python3
"""Mail and news pass through kestro unchanged, against Dovecot, aiosmtpd and INN.

usage: corpus_e2e.py KESTRO [CASE...]     (KESTRO_E2E_ENV names the fixture's env file)

The messages of messages.py (Python's e-mail test corpus and our own) go through every path of
the real kestro binary: fetched by POP3 into the mail spool (whole, cut to 50 lines with the
notice, with attachments extracted), sent by SMTP from M*.OUT files, posted by NNTP from N*.OUT
files and fetched back by NNTP (whole and as heads). Each comes out byte for byte as the server
served it or the point program wrote it, after removing the spool's script lines and its
dot-stuffing, except where kestro changes it; there the change is the only difference:
  * POP3: the "*" envelope is the first To address alone;
  * POP3 above the size limit: the notice after the first 50 lines (at the start of the body of
    a multipart);
  * POP3 with extraction: only the header field Content-Disposition and the body of a file part;
  * SMTP: the Bcc header goes, an X-Mailer line comes at the end of the header (unless there);
  * NNTP post: the X-Newsreader line comes (or " via Kestro" and an X-NNTP-Client line);
  * NNTP heads: the X-XP-Mode line comes at the end of the header.
Prints a line per check and "N passed, M failed"; exit status 1 when a check failed.
"""
import email, os, re, socket, sys, threading, traceback, uuid, warnings
from email import policy
from email.errors import HeaderParseError

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "run"))
sys.path.insert(0, HERE)
import exchange_e2e as ex  # Program, check, sh, new_user, rnews_articles and the env
import bounded  # beside the runners, found through exchange_e2e's path
import runner  # the checks' counters
from messages import crlf, messages

warnings.simplefilter("ignore", DeprecationWarning)
import nntplib  # deprecated in 3.11; Debian 12 has 3.11
import poplib

HOST = ex.HOST
DEFAULT_ENVELOPE = b"postmaster@localhost"
NOTICE = ("Der Rest dieser Nachricht wurde von Kestro übersprungen,\r\n"
          "da die eingestellte Nachrichtengröße überschritten wurde.\r\n").encode("cp1252")
FIELD = re.compile(rb"^[!-9;-~]+:")
# The cases take some ten seconds together; CTest's time-out lies above the bound.
RUN_BOUND = 300


# ---- bytes ------------------------------------------------------------------------------------

def stuff(message):
    return b"".join((b"." + l if l.startswith(b".") else l) + b"\r\n"
                    for l in message.split(b"\r\n")[:-1])


def unstuff_lines(lines):
    return b"".join((l[1:] if l.startswith(b".") else l) + b"\r\n" for l in lines)


def split_header(message):
    """(header lines, the rest after the empty line or None when there is none)."""
    head, sep, body = message.partition(b"\r\n\r\n")
    if sep:
        return head.split(b"\r\n"), body
    return message[:-2].split(b"\r\n") if message else [], None


def join_header(lines, body):
    return b"".join(l + b"\r\n" for l in lines) + (b"" if body is None else b"\r\n" + body)


def fields(lines):
    """Header lines grouped into fields (continuation lines with the field before them)."""
    out = []
    for l in lines:
        if l[:1] in (b" ", b"\t") and out:
            out[-1].append(l)
        else:
            out.append([l])
    return out


def field_name(field):
    m = FIELD.match(field[0])
    return m.group(0)[:-1].lower() if m else None


def first_diff(a, b):
    i = next((k for k in range(min(len(a), len(b))) if a[k] != b[k]), min(len(a), len(b)))
    return "at byte %d: %r / %r" % (i, a[max(0, i - 40):i + 40], b[max(0, i - 40):i + 40])


def match_all(name, outputs, expected):
    """Every output is one of the expected messages (name -> bytes), each used once."""
    left = dict(expected)
    for out in outputs:
        hit = next((n for n, e in left.items() if e == out), None)
        if hit is None:
            closest = min(left.items(), key=lambda kv: abs(len(kv[1]) - len(out)), default=None)
            ex.check("%s: output matches a message" % name, False,
                     closest and (closest[0], first_diff(out, closest[1])))
            continue
        del left[hit]
    ex.check("%s: every message came out as expected (%d)" % (name, len(expected)),
             not left and len(outputs) == len(expected), sorted(left))


# ---- what kestro changes ---------------------------------------------------------------------

def first_to(message):
    """The addr-spec of the first To address, as Python's own parser reads it; None when it
    cannot read the header."""
    try:
        msg = email.message_from_bytes(message, policy=policy.default)
        to = msg["To"]
        if to is None:
            return DEFAULT_ENVELOPE
        addresses = [a for a in to.addresses if a.addr_spec]
        return addresses[0].addr_spec.encode() if addresses else DEFAULT_ENVELOPE
    except (HeaderParseError, IndexError, ValueError, AttributeError):
        return None


def starts_body(message):
    """Whether the size notice goes in front of the body: a multipart (or a message that is an
    attachment) holds its text in parts, so the notice goes before them."""
    lines, _ = split_header(message)
    for f in fields(lines):
        text = b"".join(f)
        if re.match(rb"(?i)content-type: ", text):
            if re.match(rb"(?i)content-type: *multipart", text):
                return True
            break
    for f in fields(lines):
        text = b"".join(f)
        if re.match(rb"(?i)content-disposition: ", text):
            return text[21:].split(b";")[0].strip(b" \t") == b"attachment"
    return False


def with_notice(top):
    notice = b"\r\n" + NOTICE + b"\r\n"
    lines, body = split_header(top)
    if starts_body(top):
        return join_header(lines, notice + (body or b""))
    return join_header(lines, (body or b"") + notice)


def smtp_expected(message, mailer):
    lines, body = split_header(message)
    out, bcc_gone, has_mailer = [], False, False
    for f in fields(lines):
        if not bcc_gone and re.match(rb"(?i)bcc: ", f[0]) and b"".join(f)[5:].strip():
            bcc_gone = True
            continue
        has_mailer |= f[0][:9].upper() == b"X-MAILER:"
        out += f
    return join_header(out if has_mailer else out + [mailer], body)


def banner_expected(article, banner):
    lines, body = split_header(article)
    for i, l in enumerate(lines):
        if l[:13].lower() == b"x-newsreader:":
            lines = lines[:i] + [l + b" via Kestro"] + lines[i + 1:] + [b"X-NNTP-Client: " + banner]
            return join_header(lines, body)
    return join_header(lines + [b"X-Newsreader: " + banner], body)


def newsify(name, message, group):
    """The message as a point program would post it: in our group under a Message-ID of its
    own, with the From and Subject a news server requires and without the fields it refuses
    twice or at all (an mbox "From " line, Path, Xref)."""
    lines, body = split_header(message)
    keep, seen = [], set()
    for f in fields(lines):
        n = field_name(f)
        if n is None or n in (b"message-id", b"newsgroups", b"path", b"xref"):
            continue
        if n in seen and not n.startswith(b"x-") and n not in (b"received", b"comments"):
            continue
        if n == b"from" and b"@" not in b"".join(f):
            continue
        seen.add(n)
        keep += f
    head = [b"Newsgroups: " + group.encode(),
            b"Message-ID: <%s.%s@corpus.test>" % (name.encode(), uuid.uuid4().hex[:8].encode())]
    if b"from" not in seen:
        head.append(b"From: Corpus <corpus@example.org>")
    if b"subject" not in seen:
        head.append(b"Subject: corpus " + name.encode())
    return join_header(head + keep, body if body is not None else b"")


def empty_body(message):
    return split_header(message)[1] in (None, b"") or not split_header(message)[1].strip(b"\r\n")


# ---- servers and spools ----------------------------------------------------------------------

def spool_scripts(p):
    """(HELO line, RCPT line, message) of every mail script in the spool."""
    out = []
    for data in ex.mail_scripts(p.spool_files()):
        lines = data.split(b"\r\n")
        out.append((lines[0], lines[1], unstuff_lines(lines[3:-1])))
    return out


def clear_spool(p):
    for f in os.listdir(p.spool):
        os.remove(p.spool + f)


class Relay(threading.Thread):
    """Forwards connections to a server and keeps what the clients sent."""

    def __init__(self, port):
        super().__init__(daemon=True)
        self.target = (HOST, port)
        self.listener = socket.create_server((HOST, 0))
        self.port = self.listener.getsockname()[1]
        self.sent = bytearray()
        self.lock = threading.Lock()

    def run(self):
        while True:
            try:
                client, _ = self.listener.accept()
            except OSError:
                return
            server = socket.create_connection(self.target, timeout=60)
            threading.Thread(target=self.pump, args=(client, server, True), daemon=True).start()
            threading.Thread(target=self.pump, args=(server, client, False), daemon=True).start()

    def pump(self, src, dst, record):
        try:
            while True:
                data = src.recv(65536)
                if not data:
                    break
                if record:
                    with self.lock:
                        self.sent += data
                dst.sendall(data)
        except OSError:
            pass
        finally:
            for s in (dst, src):
                try:
                    s.shutdown(socket.SHUT_RDWR)
                except OSError:
                    pass

    def posts(self):
        """The articles sent after POST, un-stuffed."""
        with self.lock:
            lines = bytes(self.sent).split(b"\r\n")
        posts, i = [], 0
        while i < len(lines):
            if lines[i] == b"POST":
                j = lines.index(b".", i + 1) if b"." in lines[i + 1:] else len(lines)
                posts.append(unstuff_lines(lines[i + 1:j]))
                i = j
            i += 1
        return posts

    def close(self):
        self.listener.close()


# ---- cases -----------------------------------------------------------------------------------

def case_pop3(p, corpus):
    user, pw = ex.new_user("pass")
    os.makedirs(p.dir + "drop")
    for name, data in corpus:
        p.write("drop/" + name, data)
    ex.sh(*ex.E["KESTRO_E2E_POP3_DROP"].split(), user, *[p.dir + "drop/" + n for n, _ in corpus])
    pop = poplib.POP3(HOST, ex.port("POP3"), timeout=30)
    pop.user(user)
    pop.pass_(pw)
    sizes = [int(l.split()[1]) for l in pop.list()[1]]
    served = [b"".join(l + b"\r\n" for l in pop.retr(n + 1)[1]) for n in range(len(sizes))]
    tops = [b"".join(l + b"\r\n" for l in pop.top(n + 1, 50)[1]) for n in range(len(sizes))]
    pop.quit()
    by_name = {n: crlf(d) for n, d in corpus}
    names = [next((n for n, d in by_name.items() if d == s), None) for s in served]
    ex.check("pop3: Dovecot serves every message as dropped", None not in names and
             sorted(names) == sorted(by_name), [i for i, n in enumerate(names) if n is None])
    box = "Pop3Server=%s\nPop3Port=%d\nPop3User=%s\nPop3Pass=%s\nPop3Spool=%s\nPop3Keep=J\n" % (
        HOST, ex.port("POP3"), user, pw, p.spool)

    # Whole, for the first To address.
    rc, *_, err = p.run(p.write("whole.bfg", box + "Pop3Envelope=*\n"))
    ex.check("pop3: whole run exits 0", rc == 0, (rc, err[-300:]))
    scripts = spool_scripts(p)
    match_all("pop3 whole", [m for _, _, m in scripts], {n: by_name[n] for n in names})
    envelopes = [(r, first_to(m)) for _, r, m in scripts]
    ex.check("pop3: the envelope is the first To address alone (%d mails)" % len(envelopes),
             all(r == b"RCPT TO:<" + (want or r[9:-1]) + b">" for r, want in envelopes) and
             all(re.fullmatch(rb"RCPT TO:<[^<>\s,]+>", r) for r, _ in envelopes),
             [(r, w) for r, w in envelopes if w and r != b"RCPT TO:<" + w + b">"])

    # Above 1 KB: the first 50 lines and the notice.
    clear_spool(p)
    rc, *_, err = p.run(p.write("cut.bfg", box + "Pop3MaxLen=1\n"))
    ex.check("pop3: cut run exits 0", rc == 0, (rc, err[-300:]))
    expected = {n: (with_notice(t) if size > 1024 else s)
                for n, size, s, t in zip(names, sizes, served, tops)}
    ex.check("pop3: some mails were cut", sum(size > 1024 for size in sizes) >= 5)
    match_all("pop3 cut", [m for _, _, m in spool_scripts(p)], expected)

    # Attachments extracted and replaced by a notice: only file parts change.
    clear_spool(p)
    files = p.dir + "files/"
    os.makedirs(files)
    rc, *_, err = p.run(p.write("extract.bfg", box + "ExtractAttach=J\nDeleteAttach=J\n"
                                                   "ExtractPath=%s\n" % files))
    ex.check("pop3: extract run exits 0", rc == 0, (rc, err[-300:]))
    outputs = [m for _, _, m in spool_scripts(p)]
    originals = [next((s for s in served if same_outside_files(s, out)), None) for out in outputs]
    ex.check("pop3 extract: every mail stored, only its file parts changed",
             len(outputs) == len(served) and None not in originals,
             [out[:200] for out, o in zip(outputs, originals) if o is None])
    changed = sum(o is not None and o != out for out, o in zip(outputs, originals))
    # Text parts are saved as lines: compared without their line ends at the end.
    text = lambda data: crlf(data).rstrip(b"\r\n")
    saved = {text(open(files + f, "rb").read()) for f in os.listdir(files)}
    payloads = {text(data) for s in served for part in email.message_from_bytes(s).walk()
                for data in [part.get_payload(decode=True)] if part.get_filename() and data}
    ex.check("pop3 extract: %d mails changed, %d files saved" % (changed, len(saved)),
             changed >= 4 and len(saved) >= 4)
    ex.check("pop3 extract: every saved file is the content of a part", saved <= payloads,
             sorted(len(s) for s in saved - payloads))


def segments(message):
    """The message cut at every delimiter line of its boundaries (as Python reads them)."""
    bounds = {b.encode("latin-1") for part in email.message_from_bytes(message).walk()
              for b in [part.get_boundary()] if b}
    delimiters = {b"--" + b for b in bounds} | {b"--" + b + b"--" for b in bounds}
    out, current = [], []
    for line in message.split(b"\r\n")[:-1]:
        if line.rstrip(b" \t") in delimiters:
            out += [current, [line]]
            current = []
        else:
            current.append(line)
    return out + [current]


def same_outside_files(original, out):
    """Whether out differs from original only in the Content-Disposition and body of parts
    that name a file."""
    a, b = segments(original), segments(out)
    if len(a) != len(b):
        return False
    for x, y in zip(a, b):
        if x == y:
            continue
        xh = x[:x.index(b"")] if b"" in x else x
        yh = y[:y.index(b"")] if b"" in y else y
        if not re.search(rb"(?i)filename=", b"".join(xh)):
            return False
        strip = lambda h: [f for f in fields(h) if field_name(f) != b"content-disposition"]
        if strip(xh) != strip(yh):
            return False
    return True


def case_smtp(p, corpus):
    user, _ = ex.new_user("passsmtp")
    for i, (name, data) in enumerate(corpus):
        p.write("spool/M%04d.OUT" % i, b"HELO point\r\nMAIL FROM:<point@example.org>\r\n"
                b"RCPT TO:<%s@example.org>\r\nDATA\r\n" % user.encode() + stuff(data) +
                b".\r\nQUIT\r\n")
    rc, *_, err = p.run(p.write("send.bfg", "SmtpServer=%s\nSmtpPort=%d\nSmtpSpool=%s\n" % (
        HOST, ex.port("SMTP"), p.spool)))
    ex.check("smtp: run exits 0", rc == 0, (rc, err[-300:]))
    ex.check("smtp: every M*.OUT sent and deleted", not [f for f in os.listdir(p.spool)
                                                          if f.endswith(".OUT")])
    maildir = os.path.join(ex.E["KESTRO_E2E_POP3_MAILROOT"], user, "Maildir", "new")
    received = [open(os.path.join(maildir, f), "rb").read() for f in sorted(os.listdir(maildir))]
    mailer = next((m.group(0) for r in received
                   for m in [re.search(rb"X-Mailer: Orvalin Kestro V[^\r]+", r)] if m), b"?")
    ex.check("smtp: the mailer line names kestro", mailer != b"?")
    match_all("smtp", received, {n: smtp_expected(crlf(d), mailer) for n, d in corpus})


def case_news(p, corpus):
    group = "e2e.pass%s" % uuid.uuid4().hex[:6]
    ex.sh(*ex.E["KESTRO_E2E_NNTP_NEWGROUP"].split(), group)
    articles = [(n, newsify(n, crlf(d), group)) for n, d in corpus]
    refused = [(n, a) for n, a in articles if empty_body(a)]
    accepted = [(n, a) for n, a in articles if not empty_body(a)]
    relay = Relay(ex.port("NNTP"))
    relay.start()
    box = "NntpServer=%s\nNntpPort=%d\nNntpSpool=%s\nNntpGetNewsList=N\n" % (
        HOST, relay.port, p.spool)
    try:
        for i, (_, a) in enumerate(accepted):
            p.write("spool/N%04d.OUT" % i, a)
        rc, *_, err = p.run(p.write("post.bfg", box))
        ex.check("news post: run exits 0", rc == 0, (rc, err[-300:]))
        ex.check("news post: every N*.OUT posted and deleted", not os.listdir(p.spool))
        posts = relay.posts()
        banner = next((m.group(1) for a in posts
                       for m in [re.search(rb"X-Newsreader: (Orvalin Kestro V[^\r]+)", a)] if m), b"?")
        match_all("news post", posts, {n: banner_expected(a, banner) for n, a in accepted})

        # A news server takes no article without body: the refusal keeps the file.
        for n, a in refused:
            relay.sent.clear()
            p.write("spool/N0001.OUT", a)
            p.run(p.write("post.bfg", box))
            ex.check("news post %s: refused, the file stays, sent as written" % n,
                     os.path.exists(p.spool + "N0001.OUT") and
                     relay.posts() == [banner_expected(a, banner)], relay.posts())
            if os.path.exists(p.spool + "N0001.OUT"):
                os.remove(p.spool + "N0001.OUT")
    finally:
        relay.close()

    with nntplib.NNTP(HOST, ex.port("NNTP"), timeout=30) as n:
        _, count, first, last, _ = n.group(group)
        stored = [b"".join(l + b"\r\n" for l in n.article(i)[1].lines)
                  for i in range(first, last + 1)]
        heads = [b"".join(l + b"\r\n" for l in n.head(i)[1].lines) for i in range(first, last + 1)]
    ex.check("news: INN holds every posted article", len(stored) == len(accepted),
             (len(stored), len(accepted)))
    for kind, rc_line, want in (("whole", "%s 0\n" % group, stored),
                                ("heads", "%s 0 HdrOnly\n" % group,
                                 [h + b"X-XP-Mode: HdrOnly\r\n\r\n" for h in heads])):
        clear_spool(p)
        p.write("fetch.rc", rc_line)
        rc, *_, err = p.run(p.write("fetch.bfg", box.replace(str(relay.port), str(ex.port("NNTP")))
                                    + "NntpPosting=N\n"))
        ex.check("news fetch %s: run exits 0" % kind, rc == 0, (rc, err[-300:]))
        match_all("news fetch " + kind, ex.rnews_articles(p.spool_files()),
                  {str(i): a for i, a in enumerate(want)})


CASES = [("pop3", case_pop3), ("smtp", case_smtp), ("news", case_news)]


def main():
    bounded.give_up_after(RUN_BOUND, "corpus_e2e.py")
    corpus = messages()
    ex.check("corpus: at least 40 messages (%d)" % len(corpus), len(corpus) >= 40,
             "Python's e-mail test messages come with libpython3.11-testsuite (scripts/setup.sh)")
    only = set(sys.argv[2:])
    for name, fn in CASES:
        if only and name not in only:
            continue
        prog = ex.Program("pass" + name, time_server=False)
        try:
            fn(prog, corpus)
        except Exception:
            ex.check(name + " ran through", False, traceback.format_exc()[-1500:])
        finally:
            prog.cleanup()
    print("%d passed, %d failed" % (runner.passed, runner.failed))
    sys.exit(1 if runner.failed else 0)


if __name__ == "__main__":
    main()
