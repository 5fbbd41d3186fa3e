"""Scripted and hostile POP3 and NNTP servers on 127.0.0.1 for the stress tests (stdlib only).

Every server listens on a free port, serves each connection in a thread of its own and stops
with stop(). NewsServer is a small but real NNTP server over generated groups, with hooks for
refusals and for killing its client in the middle of a fetch; the other servers misbehave in
one way each.
"""
import itertools
import os
import random
import signal
import socket
import threading

HOST = "127.0.0.1"


class Server:
    """Accepts connections and hands each to handle(conn, reader) in a thread."""

    def __init__(self):
        self.sock = socket.socket()
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.bind((HOST, 0))
        self.sock.listen(64)
        self.port = self.sock.getsockname()[1]
        self.connections = 0
        self.lock = threading.Lock()
        threading.Thread(target=self._accept, daemon=True).start()

    def _accept(self):
        while True:
            try:
                conn, _ = self.sock.accept()
            except OSError:
                return
            with self.lock:
                self.connections += 1
            threading.Thread(target=self._serve, args=(conn,), daemon=True).start()

    def _serve(self, conn):
        try:
            self.handle(conn, conn.makefile("rb"))
        except (OSError, ValueError):
            pass  # the client went away: nothing to answer
        finally:
            try:
                conn.close()
            except OSError:
                pass

    def stop(self):
        try:
            self.sock.close()
        except OSError:
            pass

    def handle(self, conn, reader):
        raise NotImplementedError


def command(reader):
    """The next command line without its line end, or None when the client closed."""
    line = reader.readline()
    if not line:
        return None
    return line.rstrip(b"\r\n").decode("latin-1")


def stuffed(article):
    """An article as a multi-line reply body: dot-stuffed, with the closing dot."""
    lines = article.split(b"\r\n")
    if lines and lines[-1] == b"":
        lines.pop()
    return b"".join((b"." + l if l.startswith(b".") else l) + b"\r\n" for l in lines) + b".\r\n"


def make_article(group, number, subject=None, body=None):
    mid = "<%d.%s@stress.invalid>" % (number, group)
    subject = subject or "Article %d in %s" % (number, group)
    body = body or "Body of article %d in %s.\r\nSecond line.\r\n" % (number, group)
    return ("Path: stress!not-for-mail\r\nFrom: Stress Poster <poster@example.org>\r\n"
            "Newsgroups: %s\r\nSubject: %s\r\nMessage-ID: %s\r\n"
            "Date: Mon, 01 Jan 2024 10:00:00 +0000\r\n\r\n%s" % (group, subject, mid, body)
            ).encode("latin-1")


def message_id(article):
    for line in article.split(b"\r\n"):
        if line.lower().startswith(b"message-id:"):
            return line.split(b":", 1)[1].strip().decode("latin-1")
    return None


class NewsServer(Server):
    """NNTP over generated groups: {name: [article bytes, numbered from 1]}.

    refusals: {(group, number): "503 text"} answered instead of that article.
    login: "281" accepts AUTHINFO, anything else is the refusal sent after the password.
    post_reply: the answer after a posted article ("240 ..." or a refusal).
    held: the Message-IDs of the articles it took (answered with 240), in order; a post of one
      it holds already is refused as INN does ("441 435 Duplicate").
    kill_after: with kill_pid set, SIGKILL to that process once that many articles were sent.
    """

    def __init__(self, groups, refusals=None, login="281 ok", post_reply="240 article posted"):
        self.groups = groups
        self.refusals = refusals or {}
        self.login = login
        self.post_reply = post_reply
        self.posted = []
        self.held = []
        self.served = 0
        self.kill_after = None
        self.kill_pid = None
        super().__init__()

    def send(self, conn, data):
        conn.sendall(data.encode("latin-1") if isinstance(data, str) else data)

    def handle(self, conn, reader):
        self.send(conn, "200 stress news server ready\r\n")
        group = None
        while True:
            line = command(reader)
            if line is None:
                return
            word, _, arg = line.partition(" ")
            word = word.upper()
            if word == "QUIT":
                self.send(conn, "205 bye\r\n")
                return
            elif word == "MODE":
                self.send(conn, "200 reader\r\n")
            elif word == "AUTHINFO":
                if arg.upper().startswith("USER"):
                    self.send(conn, "381 password please\r\n")
                else:
                    self.send(conn, self.login + "\r\n")
            elif word == "GROUP":
                if arg in self.groups:
                    group = arg
                    n = len(self.groups[arg])
                    self.send(conn, "211 %d %d %d %s\r\n" % (n, 1 if n else 0, n, arg))
                else:
                    self.send(conn, "411 no such group\r\n")
            elif word in ("ARTICLE", "HEAD"):
                self.article(conn, word, group, arg)
            elif word == "LIST":
                names = "".join("%s %d 1 y\r\n" % (g, len(a)) for g, a in self.groups.items())
                self.send(conn, "215 list follows\r\n" + names + ".\r\n")
            elif word == "NEWGROUPS":
                self.send(conn, "231 no new groups\r\n.\r\n")
            elif word == "POST":
                self.send(conn, "340 send it\r\n")
                lines = []
                while True:
                    body = reader.readline()
                    if not body or body.rstrip(b"\r\n") == b".":
                        break
                    lines.append(body)
                article = b"".join(lines)
                self.posted.append(article)
                mid = message_id(article)
                with self.lock:
                    if mid in self.held:
                        reply = "441 435 Duplicate"
                    else:
                        reply = self.post_reply
                        if reply.startswith("240"):
                            self.held.append(mid)
                self.send(conn, reply + "\r\n")
            else:
                self.send(conn, "500 what?\r\n")

    def article(self, conn, word, group, arg):
        if arg.startswith("<"):
            for g, arts in self.groups.items():
                for a in arts:
                    if message_id(a) == arg:
                        return self.send(conn, "220 0 %s\r\n" % arg + stuffed(a).decode("latin-1"))
            return self.send(conn, "430 no such article\r\n")
        number = int(arg) if arg.isdigit() else 0
        refusal = self.refusals.get((group, number))
        if refusal:
            return self.send(conn, refusal + "\r\n")
        arts = self.groups.get(group, [])
        if not 1 <= number <= len(arts):
            return self.send(conn, "423 no such article\r\n")
        art = arts[number - 1]
        if word == "HEAD":
            art = art.split(b"\r\n\r\n", 1)[0] + b"\r\n"
        code = 220 if word == "ARTICLE" else 221
        self.send(conn, b"%d %d %s\r\n" % (code, number, message_id(art).encode()) + stuffed(art))
        with self.lock:
            self.served += 1
            if self.kill_pid and self.served == self.kill_after:
                os.kill(self.kill_pid, signal.SIGKILL)


# ---- hostile servers: one misbehaviour each ----------------------------------------------------

def endless(conn, line):
    """Sends the line for ever, in large blocks, until the client goes away."""
    block = line * max(1, 65536 // len(line))
    while True:
        conn.sendall(block)


def dripping(conn, line, stop, interval=0.2):
    """Sends the line every interval seconds: never quiet long enough for an idle time-out."""
    while not stop.wait(interval):
        conn.sendall(line)


class Hostile(Server):
    """kind names the misbehaviour; see handle()."""

    def __init__(self, kind):
        self.kind = kind
        self.stopped = threading.Event()
        super().__init__()

    def stop(self):
        self.stopped.set()
        super().stop()

    # The greeting of each protocol, by the prefix of a kind.
    GREETINGS = {"pop3": b"+OK ready\r\n", "nntp": b"200 news ready\r\n",
                 "smtp": b"220 smtp ready\r\n"}

    def handle(self, conn, reader):
        kind = self.kind
        proto, _, misbehaviour = kind.partition("-")
        greeting = self.GREETINGS.get(proto, b"200 news ready\r\n")
        if kind == "cut-greeting" or misbehaviour == "cut-greeting":
            # a greeting without its line end, then gone
            conn.sendall(greeting[:7])
            return
        if kind == "random" or misbehaviour == "random":  # random bytes instead of a protocol
            conn.sendall(random.Random(37).randbytes(200 * 1024))
            if misbehaviour:  # and it stays to hear what the client makes of them
                self.stopped.wait()
            return
        if misbehaviour == "long-line":  # 10 MB without a line end, then silence
            conn.sendall(greeting[:4] + b"x" * (10 << 20))
            self.stopped.wait()
            return
        if misbehaviour == "trickle":  # the greeting, one byte a second, for ever
            for byte in itertools.cycle(greeting[:-2] + b" and more"):
                if self.stopped.wait(1):
                    return
                conn.sendall(bytes([byte]))
        if proto == "smtp":
            return self.smtp(conn, reader, misbehaviour)
        pop3 = proto == "pop3"
        conn.sendall(greeting)
        while True:
            line = command(reader)
            if line is None:
                return
            word = line.split(" ", 1)[0].upper()
            if pop3:
                if word in ("USER", "PASS", "NOOP", "DELE", "RSET"):
                    conn.sendall(b"+OK\r\n")
                elif word == "STAT" and kind == "pop3-bad-stat":
                    conn.sendall(b"+OK 99999999999999999999 100\r\n")
                elif word == "STAT" and kind == "pop3-negative-stat":
                    conn.sendall(b"+OK -3 100\r\n")
                elif word == "STAT":
                    conn.sendall(b"+OK 1 100\r\n")
                elif word == "LIST" and kind == "pop3-negative-list":
                    conn.sendall(b"+OK\r\n1 -100\r\n.\r\n")
                elif word == "LIST" and kind == "pop3-huge-list":
                    conn.sendall(b"+OK\r\n99999999999999999999 100\r\n.\r\n")
                elif word == "LIST" and kind == "pop3-endless-list":
                    conn.sendall(b"+OK listing follows\r\n")
                    endless(conn, b"1 100\r\n")
                elif word == "LIST":
                    conn.sendall(b"+OK\r\n1 100\r\n.\r\n")
                elif word == "RETR" and kind == "pop3-endless-retr":
                    conn.sendall(b"+OK message follows\r\nSubject: endless\r\n\r\n")
                    endless(conn, b"x" * 70 + b"\r\n")
                elif word == "RETR" and kind == "pop3-drip-retr":
                    conn.sendall(b"+OK message follows\r\nSubject: slow\r\n\r\n")
                    dripping(conn, b"one more line\r\n", self.stopped)
                elif word == "RETR" and kind == "pop3-fastdrip-retr":  # about 4 KB/s
                    conn.sendall(b"+OK message follows\r\nSubject: slow\r\n\r\n")
                    dripping(conn, (b"z" * 62 + b"\r\n") * 16, self.stopped, 0.25)
                elif word == "QUIT":
                    conn.sendall(b"+OK bye\r\n")
                    return
                else:
                    conn.sendall(b"-ERR unknown\r\n")
            else:
                if word == "GROUP" and kind == "nntp-negative-group":
                    conn.sendall(b"211 -5 -3 -1 %s\r\n" % line.split(" ", 1)[1].encode())
                elif word == "GROUP" and kind == "nntp-huge-group":
                    conn.sendall(b"211 99999999999999999999 1 99999999999999999999 %s\r\n"
                                 % line.split(" ", 1)[1].encode())
                elif word == "GROUP":
                    conn.sendall(b"211 1 1 1 %s\r\n" % line.split(" ", 1)[1].encode())
                elif word == "LIST" and kind == "nntp-endless-list":
                    conn.sendall(b"215 list follows\r\n")
                    endless(conn, b"alt.endless.group 1 1 y\r\n")
                elif word == "ARTICLE" and kind == "nntp-endless-article":
                    conn.sendall(b"220 1 <endless@x>\r\nSubject: endless\r\n\r\n")
                    endless(conn, b"y" * 70 + b"\r\n")
                elif word == "ARTICLE" and kind == "nntp-drip-article":
                    conn.sendall(b"220 1 <slow@x>\r\nSubject: slow\r\n\r\n")
                    dripping(conn, b"one more line\r\n", self.stopped)
                elif word == "ARTICLE" and kind == "nntp-fastdrip-article":  # about 4 KB/s
                    conn.sendall(b"220 1 <slow@x>\r\nSubject: slow\r\n\r\n")
                    dripping(conn, (b"z" * 62 + b"\r\n") * 16, self.stopped, 0.25)
                elif word == "QUIT":
                    conn.sendall(b"205 bye\r\n")
                    return
                else:
                    conn.sendall(b"500 what?\r\n")

    def smtp(self, conn, reader, misbehaviour):
        """An SMTP server whose EHLO reply never ends ("endless-ehlo") or that accepts all."""
        conn.sendall(self.GREETINGS["smtp"])
        while True:
            line = command(reader)
            if line is None:
                return
            word = line.split(" ", 1)[0].upper()
            if word == "EHLO" and misbehaviour == "endless-ehlo":
                endless(conn, b"250-PIPELINING\r\n")
            elif word == "DATA":
                conn.sendall(b"354 go\r\n")
                while reader.readline() not in (b".\r\n", b""):
                    pass
                conn.sendall(b"250 queued\r\n")
            elif word == "QUIT":
                conn.sendall(b"221 bye\r\n")
                return
            else:
                conn.sendall(b"250 ok\r\n")
