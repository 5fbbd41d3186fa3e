#!/usr/bin/python3
"""Mail: 2,000 mails of 10 KB in Dovecot, fetched over POP3 by Kestro, fetchmail (delivering to
an MDA that writes each mail to a file) and getmail6 (Maildir destination).

usage: mail.py [--kestro BIN] [--runs N] [--port P] [--keep] [--syscalls] [--no-getmail]

Every program keeps the mail on the server and fetches all of it, so each run sees the same
mailbox. fetchmail and getmail run as the user nobody: getmail refuses to deliver as root.
The programs take turns run by run (A B C A B C), so a change of the machine's load falls on all.
--syscalls runs Kestro and fetchmail once more each under `strace -c -f` and prints the calls
per mail that ask the file system about a name (stat, lstat, newfstatat, statx, access).
"""
import os, subprocess, sys

sys.dont_write_bytecode = True   # no __pycache__ in the tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import common as c  # noqa: E402

MAILS, SIZE = 2000, 10 * 1024
USER, PASS = "peersmail", "peers-secret"
NOBODY = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"]
WORDS = ("offline point exchange mailbox spool netcall header body gateway crosspoint archive "
         "message folder reply quote signature uucp fidonet zconnect").split()


def make_mails(d):
    """Writes the mails (LF lines, as a Maildir holds them); {Message-ID: body}."""
    want = {}
    for n in range(1, MAILS + 1):
        lines, size, k = [], 0, 0
        while size < SIZE - 300:
            words = [WORDS[(n * 7 + k * 3 + i) % len(WORDS)] for i in range(9)]
            line = "mail %04d line %03d %s" % (n, k, " ".join(words))
            lines.append(line)
            size += len(line) + 1
            k += 1
        body = ("\n".join(lines) + "\n").encode()
        mid = "<peers.mail.%d@bench.invalid>" % n
        head = ("From: Bench Sender <sender@example.org>\nTo: %s@example.org\n"
                "Subject: Mail %d of the peer benchmark\nDate: Sun, 06 Dec 2026 12:00:00 +0000\n"
                "Message-ID: %s\nMIME-Version: 1.0\nContent-Type: text/plain; charset=us-ascii\n\n"
                % (USER, n, mid)).encode()
        with open(os.path.join(d, "%05d.eml" % n), "wb") as f:
            f.write(head + body)
        want[mid] = body
    return want


def as_nobody(d):
    subprocess.run(["chown", "-R", "nobody:nogroup", d], check=True)


STAT_CALLS = ("stat", "lstat", "newfstatat", "statx", "access", "faccessat", "faccessat2")


def traced(argv, out):
    """argv under strace counting the system calls of the process and its children in out."""
    return ["strace", "-f", "-c", "-o", out] + argv


def stat_calls(out):
    """The calls of STAT_CALLS in a `strace -c` summary."""
    total = 0
    for line in open(out):
        fields = line.split()
        if len(fields) >= 5 and fields[-1] in STAT_CALLS and fields[3].isdigit():
            total += int(fields[3])
    return total


def run_kestro(args, e2e, kestro, srv, wrap=lambda argv: argv):
    p = e2e.Program("mail", time_server=False)
    try:
        box = p.write("mail.bfg", "Pop3Server=%s\nPop3Port=%d\nPop3User=%s\nPop3Pass=%s\n"
                                  "Pop3Keep=J\nGlobalSpool=%s\n"
                      % (srv.host, srv.port("POP3"), USER, PASS, p.spool))
        r = c.measure(wrap([kestro, box]), cwd=p.home, env=p.env)
        mails = []
        for name in sorted(os.listdir(p.spool)):
            data = open(p.spool + name, "rb").read()
            # each spool file: the envelope lines, DATA, then the mail as it came
            head, sep, mail = data.partition(b"\r\nDATA\r\n")
            if not sep:
                raise c.BenchError("kestro spool file %s without DATA line" % name)
            mails.append(mail)
        return r, mails
    finally:
        if not args.keep:
            p.cleanup()


def run_fetchmail(args, srv, wrap=lambda argv: argv, ok_codes=(0,), user=USER):
    d = c.workdir("fetchmail", args.keep)
    out = os.path.join(d, "out")
    os.makedirs(out)
    rc = os.path.join(d, "fetchmailrc")
    with open(rc, "w") as f:
        f.write('set no syslog\npoll %s service %d protocol POP3 auth password\n'
                '  user "%s" there with password "%s" is nobody here\n'
                "  keep fetchall sslproto ''\n"
                '  mda "cat > %s/m.$$"\n' % (srv.host, srv.port("POP3"), user, PASS, out))
    os.chmod(rc, 0o600)
    as_nobody(d)
    env = dict(os.environ, HOME=d, FETCHMAILHOME=d)
    r = c.measure(wrap(NOBODY + ["fetchmail", "-s", "-f", rc, "--idfile", d + "/fetchids"]),
                  cwd=d, env=env, ok_codes=ok_codes)
    return r, [open(os.path.join(out, n), "rb").read() for n in os.listdir(out)]


def run_getmail(args, srv):
    d = c.workdir("getmail", args.keep)
    md = os.path.join(d, "Maildir")
    for sub in ("new", "cur", "tmp"):
        os.makedirs(os.path.join(md, sub))
    rc = os.path.join(d, "getmailrc")
    with open(rc, "w") as f:
        f.write("[retriever]\ntype = SimplePOP3Retriever\nserver = %s\nport = %d\nusername = %s\n"
                "password = %s\n[destination]\ntype = Maildir\npath = %s/\n[options]\n"
                "read_all = true\ndelete = false\nverbose = 0\n"
                % (srv.host, srv.port("POP3"), USER, PASS, md))
    as_nobody(d)
    r = c.measure(NOBODY + ["getmail", "--getmaildir", d, "--rcfile", rc], cwd=d,
                  env=dict(os.environ, HOME=d))
    new = os.path.join(md, "new")
    return r, [open(os.path.join(new, n), "rb").read() for n in os.listdir(new)]


def main():
    args = c.parse_args(__doc__, flags=[
        ("--syscalls", "count the stat calls per mail under strace"),
        ("--no-getmail", "leave getmail out (it takes most of the time and fails under load)")])
    c.need_root()
    c.ensure_packages(["fetchmail", "getmail6", "time"])
    kestro = c.kestro_binary(args)
    srv = c.Servers(args)
    e2e = c.e2e_module()
    srv.helper("ADDUSER", USER, PASS)
    src = c.workdir("mails", args.keep)
    want = make_mails(src)
    files = sorted(os.path.join(src, n) for n in os.listdir(src))
    srv.helper("POP3_DROP", USER, *files)
    c.say("dropped %d mails of %d bytes" % (len(files), os.path.getsize(files[0])))
    programs = [("kestro (Pop3Keep)", lambda: run_kestro(args, e2e, kestro, srv)),
                ("fetchmail --mda (file per mail)", lambda: run_fetchmail(args, srv)),
                ("getmail6 (Maildir)", lambda: run_getmail(args, srv))]
    if args.no_getmail:
        programs.pop()
    results = {name: [] for name, _ in programs}
    try:
        for i in range(args.runs):
            for name, fn in programs:
                r, mails = fn()
                sha = c.verify(c.by_message_id(mails, "mail"), want, "mails", name)
                c.say("%-32s run %d: %7.2f s wall %6.2f s CPU %6.1f MB  %d mails, sha256 %s"
                      % (name, i + 1, r.wall, r.cpu, r.rss_kb / 1024, len(mails), sha[:16]))
                results[name].append(r)
        if args.syscalls:
            c.ensure_packages(["strace"])
            out = c.workdir("strace", args.keep) + "/summary"
            wrap = lambda argv: traced(argv, out)  # noqa: E731
            for name, fn in [(programs[0][0], lambda: run_kestro(args, e2e, kestro, srv, wrap)),
                             (programs[1][0], lambda: run_fetchmail(args, srv, wrap))]:
                r, mails = fn()
                c.verify(c.by_message_id(mails, "mail"), want, "mails", name)
                c.say("%-32s under strace: %.1f stat calls per mail"
                      % (name, stat_calls(out) / MAILS))
    except c.BenchError as e:
        c.die(str(e))
    rows = [(name, results[name]) for name, _ in programs]
    c.say("load average at the end: " + " ".join(open("/proc/loadavg").read().split()[:3]))
    c.table("Mail: %d mails of 10 KB over POP3, kept on the server" % MAILS, MAILS, "mails",
            rows, "Versions: %s; %s; %s. Machine: %s." % (
                c.kestro_version(kestro), c.version(["fetchmail", "-V"], "fetchmail"),
                c.version(["getmail", "--version"], "getmail"), c.machine()))


if __name__ == "__main__":
    main()
