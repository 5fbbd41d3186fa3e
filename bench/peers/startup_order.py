#!/usr/bin/python3
"""Writes app/main/startup-order.txt: the functions of the kestro binary that a run a point
program starts calls, in the order callgrind lists them. Optimised builds link them together at
the start of the program's code (see app/main/CMakeLists.txt), so that such a run faults in a
few hundred KB of code instead of most of it.

usage: startup_order.py [--kestro BIN] [--merge] [--port P] [--keep]

--merge keeps the names the list has and adds the binary's new ones after them: the Release
build (-O3) and the RelWithDebInfo build (-O2) inline differently and name their function
copies differently, so the list is written from the one and merged from the other.

Two runs under valgrind's callgrind against the e2e servers: a box whose POP3 mailbox is empty
(empty_run.py's run) and a box fetching a news group of 200 articles (large_group.py's run, in
small). Run it again when start-up or the exchange changed much; a stale list costs memory, not
correctness (functions it does not name are laid out after it, names it has no more are
ignored).
"""
import os, re, subprocess, sys

sys.dont_write_bytecode = True   # no __pycache__ in the tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import common as c  # noqa: E402
import news  # noqa: E402

USER, PASS = "peersorder", "peers-secret"
GROUP = "peers.order"
OUT = os.path.join(c.ROOT, "app", "main", "startup-order.txt")


def functions_of(callgrind_file, binary):
    """The (mangled) functions callgrind saw run in binary, each once, in its order."""
    objects, names, seen, order, current = {}, {}, set(), [], None
    name = os.path.realpath(binary)
    with open(callgrind_file, errors="replace") as f:
        for line in f:
            m = re.match(r"^(c?)ob=\((\d+)\)(?: (.*))?", line)
            if m:
                if m.group(3):
                    objects[m.group(2)] = m.group(3).strip()
                if not m.group(1):
                    current = objects[m.group(2)]
                continue
            m = re.match(r"^(c?)fn=\((\d+)\)(?: (.*))?", line)
            if m:
                if m.group(3):
                    names[m.group(2)] = m.group(3).strip()
                fn = names[m.group(2)]
                # callgrind's own entries ("(below main)", "0x...") are not symbols
                if (not m.group(1) and current == name and fn not in seen
                        and re.match(r"^[A-Za-z_][\w.$]*$", fn)):
                    seen.add(fn)
                    order.append(fn)
    return order


def traced(program, kestro, box, out):
    r = subprocess.run(["valgrind", "--tool=callgrind", "--demangle=no",
                        "--callgrind-out-file=" + out, kestro, box],
                       cwd=program.home, env=program.env, capture_output=True, timeout=600)
    if r.returncode != 0:
        c.die("kestro under callgrind ended with %d: %s"
              % (r.returncode, r.stderr.decode(errors="replace")[-800:]))


def main():
    args = c.parse_args(__doc__, runs=1,
                        flags=[("--merge", "add to the list instead of writing it anew")])
    c.need_root()
    c.ensure_packages(["valgrind"])
    kestro = c.kestro_binary(args)
    srv = c.Servers(args)
    e2e = c.e2e_module()
    srv.helper("ADDUSER", USER, PASS)
    c.say(srv.helper("NNTP_BULK", "--articles", 200, "--start", 1, "--prefix", GROUP,
                     "--body-lines", news.BODY_LINES).strip())
    work = c.workdir("order", args.keep)
    order, seen = [], set()
    if args.merge and os.path.exists(OUT):
        order = [line.strip() for line in open(OUT) if line.strip()]
        seen = set(order)
    known = len(order)
    for name, text in (
            ("empty", "Pop3Server=%s\nPop3Port=%d\nPop3User=%s\nPop3Pass=%s\nPop3Keep=J\n"
                      % (srv.host, srv.port("POP3"), USER, PASS)),
            ("group", "NntpServer=%s\nNntpPort=%d\nNntpNewMax=0\nNntpGetNewsList=N\n"
                      % (srv.host, srv.port("NNTP")))):
        p = e2e.Program(name, time_server=False)
        try:
            p.write(name + ".rc", "%s 0\n" % GROUP)
            box = p.write(name + ".bfg", text + "GlobalSpool=%s\n" % p.spool)
            out = os.path.join(work, name + ".callgrind")
            traced(p, kestro, box, out)
            for fn in functions_of(out, kestro):
                if fn not in seen:
                    seen.add(fn)
                    order.append(fn)
        finally:
            if not args.keep:
                p.cleanup()
    if len(order) - known < 500 and not args.merge:
        c.die("only %d functions seen: is %s built with its symbols?" % (len(order), kestro))
    with open(OUT, "w") as f:
        f.write("".join(fn + "\n" for fn in order))
    c.say("%d functions written to %s (%d new)" % (len(order), OUT, len(order) - known))


if __name__ == "__main__":
    main()
