#!/usr/bin/python3
"""Sending: 1,000 outgoing mails of 4 KB into the SMTP server, by Kestro (one connection for
the spool) and by msmtp run once per mail: msmtp sends one mail per process and connection, which
is how a point program without a client of its own would send with it.

usage: send.py [--kestro BIN] [--runs N] [--port P] [--keep]

Every run sends to a recipient of its own; the server stores each mail in that recipient's
Maildir, and the run counts and checks what arrived there.
"""
import os, subprocess, sys, uuid

sys.dont_write_bytecode = True   # no __pycache__ in the tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import common as c  # noqa: E402

MAILS, SIZE = 1000, 4 * 1024
SENDER = "point@example.org"


def body_of(n):
    lines, size, k = [], 0, 0
    while size < SIZE - 300:
        line = "outgoing %04d line %03d from the point program, sent by the benchmark" % (n, k)
        lines.append(line)
        size += len(line) + 1
        k += 1
    return "\n".join(lines) + "\n"


def message(n, rcpt, run):
    mid = "<peers.send.%s.%d@bench.invalid>" % (run, n)
    return mid, ("From: Point <%s>\nTo: %s\nSubject: Outgoing %d\n"
                 "Date: Sun, 06 Dec 2026 12:00:00 +0000\nMessage-ID: %s\nMIME-Version: 1.0\n"
                 "Content-Type: text/plain; charset=us-ascii\n\n%s" % (SENDER, rcpt, n, mid,
                                                                       body_of(n)))


def received(srv, local):
    new = os.path.join(srv.E["KESTRO_E2E_POP3_MAILROOT"], local, "Maildir", "new")
    if not os.path.isdir(new):
        return []
    return [open(os.path.join(new, n), "rb").read() for n in os.listdir(new)]


def run_kestro(args, e2e, kestro, srv):
    run = uuid.uuid4().hex[:8]
    local = "peerssendk" + run
    rcpt = local + "@example.org"
    p = e2e.Program("send", time_server=False)
    want = {}
    try:
        for n in range(1, MAILS + 1):
            mid, text = message(n, rcpt, run)
            want[mid] = text.split("\n\n", 1)[1].encode()
            # the point program's outgoing file: an SMTP script, one mail each
            p.write("spool/M%04d.OUT" % n, "HELO point.example.org\nMAIL FROM:<%s>\n"
                                          "RCPT TO:<%s>\nDATA\n%s.\nQUIT\n" % (SENDER, rcpt, text))
        box = p.write("send.bfg", "SmtpServer=%s\nSmtpPort=%d\nGlobalSpool=%s\n"
                      % (srv.host, srv.port("SMTP"), p.spool))
        r = c.measure([kestro, box], cwd=p.home, env=p.env)
        left = [n for n in os.listdir(p.spool) if n.upper().endswith(".OUT")]
        if left:
            raise c.BenchError("kestro left %d outgoing files, e.g. %s" % (len(left), left[0]))
        return r, received(srv, local), want
    finally:
        if not args.keep:
            p.cleanup()


def run_msmtp(args, srv):
    run = uuid.uuid4().hex[:8]
    local = "peerssendm" + run
    rcpt = local + "@example.org"
    d = c.workdir("msmtp", args.keep)
    want = {}
    for n in range(1, MAILS + 1):
        mid, text = message(n, rcpt, run)
        want[mid] = text.split("\n\n", 1)[1].encode()
        with open(os.path.join(d, "%04d.eml" % n), "w") as f:
            f.write(text)
    cfg = os.path.join(d, "msmtprc")
    with open(cfg, "w") as f:
        f.write("defaults\nauth off\ntls off\naccount default\nhost %s\nport %d\nfrom %s\n"
                % (srv.host, srv.port("SMTP"), SENDER))
    os.chmod(cfg, 0o600)
    # one msmtp per mail, as a queue script runs it; stops at the first failure
    loop = 'for f in "$1"/*.eml; do msmtp -C "$2" "$3" < "$f" || exit 1; done'
    r = c.measure(["/bin/sh", "-c", loop, "sh", d, cfg, rcpt], cwd=d)
    return r, received(srv, local), want


def main():
    args = c.parse_args(__doc__)
    c.need_root()
    c.ensure_packages(["msmtp", "time"])
    kestro = c.kestro_binary(args)
    srv = c.Servers(args)
    e2e = c.e2e_module()
    programs = [("kestro (one connection)", lambda: run_kestro(args, e2e, kestro, srv)),
                ("msmtp, one process per mail", lambda: run_msmtp(args, srv))]
    rows = []
    try:
        for name, fn in programs:
            results = []
            for i in range(args.runs):
                r, mails, want = fn()
                sha = c.verify(c.by_message_id(mails, "mail"), want, "mails", name)
                c.say("%-28s run %d: %7.2f s wall %6.2f s CPU %6.1f MB  %d mails, sha256 %s"
                      % (name, i + 1, r.wall, r.cpu, r.rss_kb / 1024, len(mails), sha[:16]))
                results.append(r)
            rows.append((name, results))
    except c.BenchError as e:
        c.die(str(e))
    c.table("Sending: %d mails of 4 KB over SMTP" % MAILS, MAILS, "mails", rows,
            "msmtp is started once per mail (it sends one mail per process and connection): "
            "that is how a point program without a client of its own sends with it. "
            "Versions: %s; %s. Machine: %s." % (
                c.kestro_version(kestro), c.version(["msmtp", "--version"], "msmtp"),
                c.machine()))


if __name__ == "__main__":
    main()
