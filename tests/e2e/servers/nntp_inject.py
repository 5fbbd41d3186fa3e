#!/usr/bin/python3
"""inject < article: offers one article to innd with IHAVE over its local socket
(@DIR@/run/nntpin), as a feed would: readers.conf is not consulted. Adds Path, Message-ID and
Date when they are missing. Prints the Message-ID and exits 0 on "235"; otherwise prints innd's
answer (e.g. '437 Unapproved for "test.moderated"', '435 Duplicate') and exits 1.
The groups must exist; moderated groups take an article only with an Approved: header."""
import email.utils, os, socket, sys, time

raw = sys.stdin.buffer.read().replace(b"\r\n", b"\n")
head, _, body = raw.partition(b"\n\n")
lines = head.split(b"\n")
names = {l.split(b":", 1)[0].strip().lower() for l in lines if b":" in l and not l[:1].isspace()}
extra = []
if b"path" not in names:
    extra.append(b"Path: news.test.invalid!not-for-mail")
mid = next((l.split(b":", 1)[1].strip().decode() for l in lines
            if l.lower().startswith(b"message-id:")), None)
if mid is None:
    mid = "<inject.%d.%d@test.invalid>" % (time.time_ns(), os.getpid())
    extra.append(b"Message-ID: " + mid.encode())
if b"date" not in names:
    extra.append(b"Date: " + email.utils.formatdate().encode())
art = b"\n".join(extra + [head]) + b"\n\n" + body
data = b"".join((b"." + l if l.startswith(b".") else l) + b"\r\n"
                for l in art.rstrip(b"\n").split(b"\n")) + b".\r\n"
s = socket.socket(socket.AF_UNIX)
s.settimeout(20)
s.connect("@DIR@/run/nntpin")
f = s.makefile("rwb")
resp = lambda: f.readline().decode(errors="replace").rstrip("\r\n")
resp()
f.write(b"IHAVE " + mid.encode() + b"\r\n"); f.flush()
r = resp()
if r.startswith("335"):
    f.write(data); f.flush()
    r = resp()
f.write(b"QUIT\r\n"); f.flush()
if r.startswith("235"):
    print(mid)
    sys.exit(0)
print("inject: " + r, file=sys.stderr)
sys.exit(1)
