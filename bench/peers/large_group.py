#!/usr/bin/python3
"""A large group: one group of INN grown to 10,000, 30,000 and 100,000 articles of 2 KB; at each
size Kestro fetches it from nothing read (NntpNewMax=0: every article) and the script prints its
peak memory. Kestro keeps a group's articles in memory until it writes the group's rnews batch,
so its peak grows with the group; suck and slrnpull fetch the 100,000 too, for comparison.

usage: large_group.py [--kestro BIN] [--runs N] [--port P] [--direct] [--keep]

The programs fetch through relay.py (see README.md): straight from INN every lock-step command
waits 40 ms for a delayed ACK, and 100,000 articles would take over an hour. --direct skips it.
Before the largest size the script estimates Kestro's peak from the smaller ones and stops when
it would not fit into two thirds of the memory available.
"""
import os, sys

sys.dont_write_bytecode = True   # no __pycache__ in the tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import common as c  # noqa: E402
import news  # noqa: E402

GROUP = "peers.big"
SIZES = (10000, 30000, 100000)


def expected(n):
    body = b"".join(b"Line %d of a generated article body, long enough to look like text.\n" % i
                    for i in range(news.BODY_LINES))
    return {"<%s.%d@bench.invalid>" % (GROUP, k): body for k in range(1, n + 1)}


def run_kestro(args, e2e, kestro, host, port):
    p = e2e.Program("big", time_server=False)
    try:
        p.write("big.rc", "%s 0\n" % GROUP)
        box = p.write("big.bfg", "NntpServer=%s\nNntpPort=%d\nGlobalSpool=%s\nNntpNewMax=0\n"
                                 "NntpGetNewsList=N\n" % (host, port, p.spool))
        r = c.measure([kestro, box], cwd=p.home, env=p.env, timeout=7200)
        arts = []
        for name in sorted(os.listdir(p.spool)):
            arts += c.rnews_batch(open(p.spool + name, "rb").read())
        return r, arts
    finally:
        if not args.keep:
            p.cleanup()


def available_kb():
    for line in open("/proc/meminfo"):
        if line.startswith("MemAvailable:"):
            return int(line.split()[1])
    return 0


def main():
    args = c.parse_args(__doc__, runs=1, flags=[("--direct", "fetch straight from INN")])
    c.need_root()
    c.ensure_packages(["suck", "slrnpull", "time"])
    kestro = c.kestro_binary(args)
    srv = c.Servers(args)
    e2e = c.e2e_module()
    host, port = srv.host, srv.port("NNTP")
    if not args.direct:
        import relay
        port = relay.start(host, port)
    news.group_names = lambda: [GROUP]     # the peers' runners read their groups from here
    rows, have, peaks = [], 0, []
    try:
        for n in SIZES:
            c.say(srv.helper("NNTP_BULK", "--articles", n - have, "--start", have + 1,
                             "--prefix", GROUP, "--body-lines", news.BODY_LINES).strip())
            have = n
            if len(peaks) >= 2:
                (n1, m1), (n2, m2) = peaks[-2:]
                guess = m2 + (m2 - m1) * (n - n2) / (n2 - n1)
                if guess > available_kb() * 2 / 3:
                    c.die("kestro would need about %.0f MB for %d articles; %.0f MB are available"
                          % (guess / 1024, n, available_kb() / 1024))
            want = expected(n)
            results = []
            for i in range(args.runs):
                r, arts = run_kestro(args, e2e, kestro, host, port)
                c.verify(c.by_message_id(arts, "article"), want, "articles", "kestro")
                c.say("kestro %6d articles run %d: %7.2f s wall %6.2f s CPU %7.1f MB"
                      % (n, i + 1, r.wall, r.cpu, r.rss_kb / 1024))
                results.append(r)
            peaks.append((n, max(r.rss_kb for r in results)))
            rows.append(("kestro, %d articles" % n, results))
        for name, fn in (("suck -br, %d articles" % have, lambda: news.run_suck(args, host, port)),
                         ("slrnpull, %d articles" % have,
                          lambda: news.run_slrnpull(args, host, port))):
            r, arts = fn()
            c.verify(c.by_message_id(arts, "article"), want, "articles", name)
            c.say("%s: %7.2f s wall %6.2f s CPU %7.1f MB" % (name, r.wall, r.cpu,
                                                             r.rss_kb / 1024))
            rows.append((name, [r]))
    except c.BenchError as e:
        c.die(str(e))
    print("### A large group: one group, articles of 2 KB, nothing read%s\n"
          % ("" if args.direct else " (through relay.py)"))
    print("Versions: %s; %s; %s. Machine: %s.\n" % (
        c.kestro_version(kestro), c.version(["suck", "-V"], "suck"),
        c.version(["slrnpull", "--version"], "slrnpull"), c.machine()))
    print("| program | articles | wall s | CPU s | peak MB | peak KB per article |")
    print("|---|---:|---:|---:|---:|---:|")
    for name, results in rows:
        r = results[0] if len(results) == 1 else sorted(results, key=lambda x: x.wall)[
            len(results) // 2]
        n = int(name.rsplit(", ", 1)[1].split()[0])
        peak = max(x.rss_kb for x in results)
        print("| %s | %d | %.2f | %.2f | %.1f | %.1f |"
              % (name.split(",")[0], n, r.wall, r.cpu, peak / 1024, peak / n))
    print(flush=True)


if __name__ == "__main__":
    main()
