#!/usr/bin/python3
"""A large group: one group of INN grown to 100,000 and then 1,000,000 articles of 2 KB; at each
size Kestro, suck and slrnpull fetch it from nothing read (Kestro: NntpNewMax=0, every article;
one connection, as one group never spans two) and the script prints wall time, CPU time and
peak memory. Kestro writes each article to its group's batch file as it arrives, so its memory
should not grow with the group.

usage: large_group.py [--kestro BIN] [--runs N] [--port P] [--direct] [--quick] [--kestro-only]
                      [--keep]

The programs fetch through relay.py (see README.md): straight from INN every lock-step command
waits 40 ms for a delayed ACK, and 100,000 articles would take over an hour. --direct skips it.
--quick stops after 100,000 articles; --kestro-only leaves the peers out. What arrived is
checked article by article as it is read (a batch of a million articles is 2 GB: it is never
held whole).
"""
import os, sys

sys.dont_write_bytecode = True   # no __pycache__ in the tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import common as c  # noqa: E402
import news  # noqa: E402

GROUP = "peers.big"
SIZES = (100000, 1000000)
BODY = b"".join(b"Line %d of a generated article body, long enough to look like text.\n" % i
                for i in range(news.BODY_LINES))


class Checker:
    """Takes the articles one by one: each must carry a Message-ID of the group's first n, none
    may come twice, and every body must be the one nntp_bulk.py wrote."""

    def __init__(self, n, program):
        self.n, self.program, self.seen = n, program, set()

    def add(self, data):
        head, body = c.split_message(data)
        mid = c.header(head, "Message-ID")
        prefix = "<%s." % GROUP
        if mid is None or not mid.startswith(prefix) or not mid.endswith("@bench.invalid>"):
            raise c.BenchError("%s: an article that was not offered: %r" % (self.program,
                                                                            data[:200]))
        number = int(mid[len(prefix):mid.index("@")])
        if not 1 <= number <= self.n or number in self.seen:
            raise c.BenchError("%s: article %d unexpected or received twice" % (self.program,
                                                                               number))
        if body.rstrip(b"\n") != BODY.rstrip(b"\n"):
            raise c.BenchError("%s: the body of article %d differs" % (self.program, number))
        self.seen.add(number)

    def done(self):
        if len(self.seen) != self.n:
            raise c.BenchError("%s received %d of %d articles" % (self.program, len(self.seen),
                                                                  self.n))


def read_rnews(path, checker):
    """Feeds the articles of an rnews batch file to checker, one at a time."""
    with open(path, "rb") as f:
        while True:
            line = f.readline()
            if not line:
                return
            words = line.split()
            if words[:2] != [b"#!", b"rnews"] or len(words) != 3:
                raise c.BenchError("not an rnews batch in %s: %r" % (path, line[:60]))
            checker.add(f.read(int(words[2])))


def run_kestro(args, e2e, kestro, host, port, n):
    p = e2e.Program("big", time_server=False)
    try:
        p.write("big.rc", "%s 0\n" % GROUP)
        box = p.write("big.bfg", "NntpServer=%s\nNntpPort=%d\nGlobalSpool=%s\nNntpNewMax=0\n"
                                 "NntpGetNewsList=N\n" % (host, port, p.spool))
        r = c.measure([kestro, box], cwd=p.home, env=p.env, timeout=7200)
        check = Checker(n, "kestro")
        for name in sorted(os.listdir(p.spool)):
            read_rnews(p.spool + name, check)
        check.done()
        return r
    finally:
        if not args.keep:
            p.cleanup()


def run_suck(args, host, port, n):
    d = c.workdir("suck", args.keep)
    for sub in ("data", "tmp", "msgs"):
        os.makedirs(os.path.join(d, sub))
    with open(os.path.join(d, "data", "sucknewsrc"), "w") as f:
        f.write("%s 0\n" % GROUP)
    batch = os.path.join(d, "batch")
    r = c.measure(["suck", "%s:%d" % (host, port), "-H", "-K", "-q", "-dd", d + "/data",
                   "-dt", d + "/tmp", "-dm", d + "/msgs", "-br", batch], cwd=d, timeout=7200)
    check = Checker(n, "suck")
    read_rnews(batch, check)
    check.done()
    os.unlink(batch)
    return r


def run_slrnpull(args, host, port, n):
    d = c.workdir("slrnpull", args.keep)
    with open(os.path.join(d, "slrnpull.conf"), "w") as f:
        f.write("%s 0 0\n" % GROUP)   # all articles, never expire
    r = c.measure(["slrnpull", "-d", d, "-h", "%s:%d" % (host, port), "--no-post"], cwd=d,
                  timeout=7200)
    check = Checker(n, "slrnpull")
    for top, _, files in os.walk(os.path.join(d, "news")):
        for name in files:
            if name.isdigit():
                with open(os.path.join(top, name), "rb") as f:
                    check.add(f.read())
    check.done()
    return r


def main():
    args = c.parse_args(__doc__, runs=1, flags=[("--direct", "fetch straight from INN"),
                                                ("--quick", "stop after 100,000 articles"),
                                                ("--kestro-only", "run Kestro alone, not its peers")])
    c.need_root()
    c.ensure_packages(["suck", "slrnpull", "time"])
    kestro = c.kestro_binary(args)
    srv = c.Servers(args)
    e2e = c.e2e_module()
    host, port = srv.host, srv.port("NNTP")
    if not args.direct:
        import relay
        port = relay.start(host, port)
    rows, have = [], 0
    try:
        for n in SIZES[:1] if args.quick else SIZES:
            c.say(srv.helper("NNTP_BULK", "--articles", n - have, "--start", have + 1,
                             "--prefix", GROUP, "--body-lines", news.BODY_LINES).strip())
            have = n
            programs = (("kestro", lambda: run_kestro(args, e2e, kestro, host, port, n)),
                        ("suck -br", lambda: run_suck(args, host, port, n)),
                        ("slrnpull", lambda: run_slrnpull(args, host, port, n)))
            for name, fn in programs[:1] if args.kestro_only else programs:
                results = []
                for i in range(args.runs):
                    r = fn()
                    c.say("%-8s %7d articles run %d: %8.2f s wall %7.2f s CPU %7.1f MB"
                          % (name, n, i + 1, r.wall, r.cpu, r.rss_kb / 1024))
                    results.append(r)
                rows.append((name, n, results))
    except c.BenchError as e:
        c.die(str(e))
    print("### A large group: one group, articles of 2 KB, nothing read%s\n"
          % ("" if args.direct else " (through relay.py)"))
    print("Versions: %s; %s; %s. Machine: %s.\n" % (
        c.kestro_version(kestro), c.version(["suck", "-V"], "suck"),
        c.version(["slrnpull", "--version"], "slrnpull"), c.machine()))
    print("| program | articles | wall s | CPU s | peak MB | Kestro/peer wall |")
    print("|---|---:|---:|---:|---:|---:|")
    kestro_wall = {}
    for name, n, results in rows:
        r = sorted(results, key=lambda x: x.wall)[len(results) // 2]
        peak = max(x.rss_kb for x in results)
        if name == "kestro":
            kestro_wall[n] = r.wall
        ratio = "-" if name == "kestro" else "%.2f" % (kestro_wall[n] / r.wall)
        print("| %s | %d | %.2f | %.2f | %.1f | %s |"
              % (name, n, r.wall, r.cpu, peak / 1024, ratio))
    print(flush=True)


if __name__ == "__main__":
    main()
