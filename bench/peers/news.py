#!/usr/bin/python3
"""News: 20,000 articles of 2 KB in 20 groups of INN, fetched from nothing read by Kestro
(default settings, and NntpMaxThreads 8), suck (into an rnews batch) and slrnpull.

usage: news.py [--kestro BIN] [--runs N] [--port P] [--relay] [--keep]

--relay puts relay.py between the programs and INN: it takes away the 40 ms that INN's reader
loses on every command answered in two writes (see README.md), leaving the programs' own work.
"""
import os, sys

sys.dont_write_bytecode = True   # no __pycache__ in the tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import common as c  # noqa: E402

GROUPS, ARTICLES, BODY_LINES = 20, 1000, 27   # 27 lines: about 2 KB an article with its header
PREFIX = "peers.news"


def expected():
    # The bodies nntp_bulk.py writes (tests/e2e/servers), one per Message-ID it gives.
    body = b"".join(b"Line %d of a generated article body, long enough to look like text.\n" % i
                    for i in range(BODY_LINES))
    return {"<%s.%d.%d@bench.invalid>" % (PREFIX, g, k): body
            for g in range(1, GROUPS + 1) for k in range(1, ARTICLES + 1)}


def group_names():
    return ["%s.%d" % (PREFIX, g) for g in range(1, GROUPS + 1)]


def run_kestro(args, srv, e2e, kestro, host, port, extra):
    p = e2e.Program("news", time_server=False)
    try:
        p.write("news.rc", "".join("%s 0\n" % g for g in group_names()))
        box = p.write("news.bfg", "NntpServer=%s\nNntpPort=%d\nGlobalSpool=%s\n%s"
                      % (host, port, p.spool, extra))
        r = c.measure([kestro, box], cwd=p.home, env=p.env)
        arts = []
        for name in sorted(os.listdir(p.spool)):
            data = open(p.spool + name, "rb").read()
            if data.startswith(b"#! rnews "):
                arts += c.rnews_batch(data)
        return r, arts
    finally:
        if not args.keep:
            p.cleanup()


def run_suck(args, host, port):
    d = c.workdir("suck", args.keep)
    for sub in ("data", "tmp", "msgs"):
        os.makedirs(os.path.join(d, sub))
    with open(os.path.join(d, "data", "sucknewsrc"), "w") as f:
        f.writelines("%s 0\n" % g for g in group_names())
    batch = os.path.join(d, "batch")
    # -H: no local INN history to check against; -K: no killfiles; -q: no progress lines
    r = c.measure(["suck", "%s:%d" % (host, port), "-H", "-K", "-q", "-dd", d + "/data",
                   "-dt", d + "/tmp", "-dm", d + "/msgs", "-br", batch], cwd=d)
    return r, c.rnews_batch(open(batch, "rb").read())


def run_slrnpull(args, host, port):
    d = c.workdir("slrnpull", args.keep)
    with open(os.path.join(d, "slrnpull.conf"), "w") as f:
        f.writelines("%s 0 0\n" % g for g in group_names())   # all articles, never expire
    r = c.measure(["slrnpull", "-d", d, "-h", "%s:%d" % (host, port), "--no-post"], cwd=d)
    arts = []
    for top, _, files in os.walk(os.path.join(d, "news")):
        arts += [open(os.path.join(top, n), "rb").read() for n in files if n.isdigit()]
    return r, arts


def main():
    args = c.parse_args(__doc__, flags=[("--relay", "fetch through relay.py")])
    relay = args.relay
    c.need_root()
    c.ensure_packages(["suck", "slrnpull", "time"])
    kestro = c.kestro_binary(args)
    srv = c.Servers(args)
    e2e = c.e2e_module()
    c.say(srv.helper("NNTP_BULK", "--groups", GROUPS, "--articles", ARTICLES, "--prefix", PREFIX,
                     "--body-lines", BODY_LINES).strip())
    host, port = srv.host, srv.port("NNTP")
    if relay:
        import relay as rl
        port = rl.start(host, port)
    want = expected()
    programs = [
        ("kestro (defaults)", lambda: run_kestro(args, srv, e2e, kestro, host, port, "")),
        ("kestro NntpMaxThreads=8",
         lambda: run_kestro(args, srv, e2e, kestro, host, port, "NntpMaxThreads=8\n")),
        ("kestro NntpMaxThreads=1 (one connection, as the peers)",
         lambda: run_kestro(args, srv, e2e, kestro, host, port, "NntpMaxThreads=1\n")),
        ("suck -br (rnews batch)", lambda: run_suck(args, host, port)),
        ("slrnpull", lambda: run_slrnpull(args, host, port)),
    ]
    rows = []
    try:
        for name, fn in programs:
            results = []
            for i in range(args.runs):
                r, arts = fn()
                sha = c.verify(c.by_message_id(arts, "article"), want, "articles", name)
                c.say("%-30s run %d: %7.2f s wall %6.2f s CPU %6.1f MB  %d articles, sha256 %s"
                      % (name, i + 1, r.wall, r.cpu, r.rss_kb / 1024, len(arts), sha[:16]))
                results.append(r)
            rows.append((name, results))
    except c.BenchError as e:
        c.die(str(e))
    c.table("News: %d articles of 2 KB in %d groups, nothing read%s"
            % (GROUPS * ARTICLES, GROUPS, " (through relay.py)" if relay else ""),
            GROUPS * ARTICLES, "articles", rows,
            "Versions: %s; %s; %s. Machine: %s." % (
                c.kestro_version(kestro), c.version(["suck", "-V"], "suck"),
                c.version(["slrnpull", "--version"], "slrnpull"), c.machine()))


if __name__ == "__main__":
    main()
