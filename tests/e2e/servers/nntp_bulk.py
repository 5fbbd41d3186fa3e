#!/usr/bin/python3
"""Fills the INN of nntp-inn2.sh with generated articles, fast (for benchmarks).

nntp_bulk.py --dir DIR --groups N --articles M [--prefix P] [--body-lines L] [--start S]

Creates the groups P.1 .. P.N (default prefix "bench"; with N = 1 just P) and offers M
articles to each one with IHAVE over innd's local socket DIR/run/nntpin. Articles are numbered from S
(default 1) with Message-ID <P.G.K@bench.invalid>, so a second run with another --start adds
more. Prints "injected A of B articles in T s" and exits 1 if any was refused.
"""
import argparse, email.utils, os, socket, subprocess, sys, time

p = argparse.ArgumentParser()
p.add_argument("--dir", required=True)
p.add_argument("--groups", type=int, default=1)
p.add_argument("--articles", type=int, required=True)
p.add_argument("--prefix", default="bench")
p.add_argument("--body-lines", type=int, default=10)
p.add_argument("--start", type=int, default=1)
a = p.parse_args()

groups = [a.prefix] if a.groups == 1 else ["%s.%d" % (a.prefix, g) for g in range(1, a.groups + 1)]
env = dict(os.environ, INNCONF=os.path.join(a.dir, "etc", "inn.conf"))
active = open(os.path.join(a.dir, "db", "active"), "rb").read().decode(errors="replace")
known = {l.split(" ", 1)[0] for l in active.splitlines()}
for g in groups:
    if g not in known:
        subprocess.run(["/usr/lib/news/bin/ctlinnd", "-s", "newgroup", g, "y", "kestro-e2e"],
                       env=env, check=True)

date = email.utils.formatdate(time.time() - 86400, localtime=False)
body = b"".join(b"Line %d of a generated article body, long enough to look like text.\r\n" % i
                for i in range(a.body_lines))


def article(g, k):
    mid = "<%s.%d@bench.invalid>" % (g, k)
    head = ("Path: news.test.invalid!not-for-mail\r\nFrom: Bench Poster <bench@example.org>\r\n"
            "Newsgroups: %s\r\nSubject: Article %d in %s\r\nDate: %s\r\nMessage-ID: %s\r\n"
            "Lines: %d\r\n\r\n" % (g, k, g, date, mid, a.body_lines))
    return mid, head.encode() + body + b".\r\n"


s = socket.socket(socket.AF_UNIX)
s.settimeout(120)
s.connect(os.path.join(a.dir, "run", "nntpin"))
rf = s.makefile("rb")
def resp():
    line = rf.readline()
    if not line:
        sys.exit("bulk: innd closed the connection")
    return line.decode(errors="replace").rstrip("\r\n")
resp()

# innd's local socket takes IHAVE only (no MODE STREAM), so offers and articles go in lock-step;
# the cost per article is innd's own work (history, overview, spool file), not the round trips.
t0 = time.time()
total = ok = 0
refused = []
for k in range(a.start, a.start + a.articles):
    for g in groups:
        mid, data = article(g, k)
        total += 1
        s.sendall(b"IHAVE " + mid.encode() + b"\r\n")
        r = resp()
        if r.startswith("335"):
            s.sendall(data)
            r = resp()
        if r.startswith("235"):
            ok += 1
        elif len(refused) < 5:
            refused.append(r)
s.sendall(b"QUIT\r\n")
print("injected %d of %d articles in %.1f s" % (ok, total, time.time() - t0))
for r in refused:
    print("refused: " + r, file=sys.stderr)
sys.exit(0 if ok == total else 1)
