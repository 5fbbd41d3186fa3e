#!/usr/bin/python3
"""How much CPU an exchange uses while it waits on a slow server.

usage: KESTRO_E2E_ENV=... slow_server.py KESTRO

The e2e servers must run (tests/e2e/README.md, "By hand"). The run fetches mail through the
fake relay that holds every POP3 command 200 ms and news through the one that does the same for
NNTP, then prints wall seconds, CPU seconds and their ratio (the goal is below 0.05: a run that
waits must sleep, not spin).
"""
import os, sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../tests/e2e/run"))
import exchange_e2e as e2e  # noqa: E402

kestro = os.path.abspath(sys.argv[1])
p = e2e.Program("slow", time_server=False)
try:
    user, pw = e2e.new_user("slow")
    for i in range(10):
        e2e.drop_mail(user, "From: a@example.org\nSubject: slow %d\n\n%s\n" % (i, "x" * 2000))
    groups = e2e.new_groups("slow", 2, 10)
    p.write("slow.rc", "".join("%s 0\n" % g for g in groups))
    box = p.write("slow.bfg", "Pop3Server=%s\nPop3Port=%d\nPop3User=%s\nPop3Pass=%s\n"
                              "NntpServer=%s\nNntpPort=%d\nNntpGetNewsList=N\nNntpPosting=N\n"
                              "GlobalSpool=%s\n"
                  % (e2e.HOST, e2e.port("FAKE_DELAY_POP3"), user, pw, e2e.HOST,
                     e2e.port("FAKE_DELAY_NNTP"), p.spool))
    rc, wall, cpu, err = p.run(box, timeout=600, kestro=kestro)
    fetched = len(e2e.mail_scripts(p.spool_files())), len(e2e.rnews_articles(p.spool_files()))
    if rc != 0 or fetched != (10, 20):
        sys.exit("run failed: exit %d, fetched %r\n%s" % (rc, fetched, err[-1000:]))
    print("server delay   %s ms per command" % e2e.E["KESTRO_E2E_FAKE_DELAY_MS"])
    print("fetched        %d mails, %d articles" % fetched)
    print("wall seconds   %.2f" % wall)
    print("cpu seconds    %.3f" % cpu)
    print("cpu / wall     %.4f  (goal: below 0.05)" % (cpu / wall))
finally:
    p.cleanup()
