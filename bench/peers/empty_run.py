#!/usr/bin/python3
"""The everyday run: a box whose POP3 mailbox is empty, fetched by Kestro and by fetchmail in
turns (A B A B ...), as a point program calls them many times a day.

usage: empty_run.py [--kestro BIN] [--runs N] [--port P] [--keep]

Each run starts from a fresh program directory (Kestro) or a fresh id file (fetchmail), finds
nothing and ends. The table shows the median wall and CPU time and the largest peak resident
memory; the load average before and after the runs is printed with it.
"""
import os, sys

sys.dont_write_bytecode = True   # no __pycache__ in the tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import common as c  # noqa: E402
import mail  # noqa: E402

USER, PASS = "peersempty", "peers-secret"


def run_kestro(e2e, kestro, srv, keep):
    p = e2e.Program("empty", time_server=False)
    try:
        box = p.write("empty.bfg", "Pop3Server=%s\nPop3Port=%d\nPop3User=%s\nPop3Pass=%s\n"
                                   "Pop3Keep=J\nGlobalSpool=%s\n"
                      % (srv.host, srv.port("POP3"), USER, PASS, p.spool))
        r = c.measure([kestro, box], cwd=p.home, env=p.env)
        if os.listdir(p.spool):
            raise c.BenchError("kestro stored files from an empty mailbox: %s"
                               % os.listdir(p.spool)[:3])
        return r
    finally:
        if not keep:
            p.cleanup()


def run_fetchmail(srv, args):
    # fetchmail ends with 1 when there was no mail
    r, mails = mail.run_fetchmail(args, srv, ok_codes=(1,), user=USER)
    if mails:
        raise c.BenchError("fetchmail delivered mail from an empty mailbox")
    return r


def main():
    args = c.parse_args(__doc__, runs=10)
    c.need_root()
    c.ensure_packages(["fetchmail", "time"])
    kestro = c.kestro_binary(args)
    srv = c.Servers(args)
    e2e = c.e2e_module()
    srv.helper("ADDUSER", USER, PASS)
    programs = [("kestro (empty box)", lambda: run_kestro(e2e, kestro, srv, args.keep)),
                ("fetchmail (empty box)", lambda: run_fetchmail(srv, args))]
    results = {name: [] for name, _ in programs}
    load = open("/proc/loadavg").read().split()[:3]
    try:
        for i in range(args.runs):
            for name, fn in programs:
                r = fn()
                c.say("%-24s run %d: %6.3f s wall %6.3f s CPU %6.1f MB"
                      % (name, i + 1, r.wall, r.cpu, r.rss_kb / 1024))
                results[name].append(r)
    except c.BenchError as e:
        c.die(str(e))
    c.table("The empty run: one POP3 box with nothing to fetch", 1, "runs",
            [(name, results[name]) for name, _ in programs],
            "Load average before %s, after %s. Versions: %s; %s. Machine: %s." % (
                "/".join(load), "/".join(open("/proc/loadavg").read().split()[:3]),
                c.kestro_version(kestro), c.version(["fetchmail", "-V"], "fetchmail"),
                c.machine()))


if __name__ == "__main__":
    main()
