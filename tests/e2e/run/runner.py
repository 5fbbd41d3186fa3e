"""What the runners of the real binary against the e2e servers share: the fixture's env file,
the checks with their count, program directories with their registry, boxes and spools, users,
mails, groups and articles of their own on the servers, and reading what arrived.

A runner is started as `RUNNER KESTRO [ARG...]` with KESTRO_E2E_ENV naming the env file.
"""
import os, resource, shutil, subprocess, sys, tempfile, time, traceback, uuid, warnings
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import bounded
warnings.simplefilter("ignore", DeprecationWarning)
import nntplib  # deprecated in 3.11; Debian 12 has 3.11
import poplib

env_path = os.environ.get("KESTRO_E2E_ENV")
if not env_path or not os.path.exists(env_path):
    sys.exit("KESTRO_E2E_ENV does not name the fixture's env file (%r)" % env_path)
E = dict(l.rstrip("\n").split("=", 1) for l in open(env_path) if "=" in l and not l.startswith("#"))
HOST = E["KESTRO_E2E_HOST"]
KESTRO = os.path.abspath(sys.argv[1]) if len(sys.argv) > 1 else ""
passed = failed = 0


def port(name):
    return int(E["KESTRO_E2E_%s_PORT" % name])


def check(name, cond, info=""):
    global passed, failed
    passed, failed = (passed + 1, failed) if cond else (passed, failed + 1)
    print(("PASS " if cond else "FAIL ") + name + ("" if cond or info == "" else " -- %r" % (info,)),
          flush=True)
    return cond


def run_cases(cases):
    """Runs each case (a function of no arguments); one that raises counts as a failed check of
    its own and the next one runs. Then prints the count and exits, with 1 when a check failed."""
    for case in cases:
        try:
            case()
        except Exception:
            check(case.__name__ + " ran through", False, traceback.format_exc()[-1500:])
    print("%d passed, %d failed" % (passed, failed))
    sys.exit(1 if failed else 0)


def sh(*args, stdin=None):
    return bounded.run(args, timeout=120, input=stdin, check=True).stdout


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("latin-1")


class Program:
    """A program directory with its registry, boxes and spools."""

    def __init__(self, name, max_threads=8, time_server=True, debug_log=False):
        # As installed beside a point program: the boxes in the point program's directory, the
        # program directory (logs, dupe databases, registry) inside it.
        self.name = name
        self.dir = tempfile.mkdtemp(prefix="kestro-e2e-%s-" % name) + "/"
        os.chmod(self.dir, 0o755)
        self.home = self.dir + "kestro/"
        self.spool = self.dir + "spool/"
        os.makedirs(self.spool)
        reg = self.home + "reg/"
        os.makedirs(reg)
        ts = "%s:%d" % (HOST, port("TIME")) if time_server else ""
        values = [('"EventLog"', "dword:00000001"), ('"ThreadLog"', "dword:00000000"),
                  ('"DebugLog"', "dword:%08x" % int(debug_log)), ('"CrosspointDir"', '""'),
                  ('"Realname"', '"E2E Test"'), ('"eMail"', '"e2e@example.org"'),
                  ('"TimeServer"', '"%s"' % ts), ('"MaxThreads"', "dword:%08x" % max_threads)]
        with open(reg + "HKEY_LOCAL_MACHINE.reg", "w") as f:
            f.write("; Kestro registry hive, version 1\n\n[]\n\n[SOFTWARE]\n\n[SOFTWARE\\Orvalin]\n\n"
                    "[SOFTWARE\\Orvalin\\Kestro]\n")
            f.writelines("%s=%s\n" % kv for kv in values)
        self.env = dict(os.environ, KESTRO_HOME=self.home, KESTRO_REGISTRY_DIR=reg,
                        KESTRO_CLOCK="none", QT_QPA_PLATFORM="offscreen",
                        XDG_RUNTIME_DIR=self.home)

    def write(self, name, data):
        with open(self.dir + name, "wb") as f:
            f.write(data if isinstance(data, bytes) else crlf(data))
        return self.dir + name

    def run(self, *args, timeout=120, extra_env=None, kestro=None):
        """Runs kestro; (exit code, wall seconds, cpu seconds, stderr)."""
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.monotonic()
        env = dict(self.env, **(extra_env or {}))
        p = bounded.run([kestro or KESTRO] + list(args), timeout=timeout, env=env, cwd=self.home)
        wall = time.monotonic() - start
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
        return p.returncode, wall, cpu, p.stderr.decode("utf-8", "replace")

    def log(self, name):
        try:
            return open(self.home + name, "rb").read().decode("utf-8", "replace")
        except FileNotFoundError:
            return ""

    def spool_files(self):
        out = []
        for n in sorted(os.listdir(self.spool)):
            if n.lower().endswith(".msg"):
                out.append(open(self.spool + n, "rb").read())
        return out

    def cleanup(self):
        if os.environ.get("KESTRO_E2E_KEEP"):
            print("kept " + self.dir)
            return
        shutil.rmtree(self.dir, ignore_errors=True)


def new_user(tag):
    user = "e2e%s%s" % (tag, uuid.uuid4().hex[:6])
    sh(*E["KESTRO_E2E_ADDUSER"].split(), user, "pw-" + user)
    return user, "pw-" + user


def drop_mail(user, text):
    sh(*E["KESTRO_E2E_POP3_DROP"].split(), user, stdin=crlf(text))


def new_groups(tag, count, articles):
    prefix = "e2e.%s%s" % (tag, uuid.uuid4().hex[:6])
    sh(*E["KESTRO_E2E_NNTP_BULK"].split(), "--groups", str(count), "--articles", str(articles),
       "--prefix", prefix)
    return [prefix] if count == 1 else ["%s.%d" % (prefix, i) for i in range(1, count + 1)]


def inject(text):
    return sh(*E["KESTRO_E2E_NNTP_INJECT"].split(), stdin=crlf(text)).decode().strip()


def rnews_articles(batches):
    """The articles of every rnews batch among the spool files."""
    arts = []
    for data in batches:
        if not data.startswith(b"#! rnews "):
            continue
        pos = 0
        while pos < len(data):
            nl = data.index(b"\n", pos)
            size = int(data[pos:nl].split()[2])
            arts.append(data[nl + 1:nl + 1 + size])
            pos = nl + 1 + size
    return arts


def header(article, name):
    for line in article.split(b"\r\n"):
        if line == b"":
            break
        if line.lower().startswith(name.lower().encode() + b":"):
            return line.split(b":", 1)[1].strip().decode("latin-1")
    return None


def mail_scripts(batches):
    return [b for b in batches if not b.startswith(b"#! rnews ")]


def outgoing_mail(sender, rcpt, subject, body):
    return ("HELO point\nMAIL FROM:<%s>\nRCPT TO:<%s>\nDATA\nFrom: %s\nTo: %s\nSubject: %s\n"
            "Message-ID: <%s@point.example>\n\n%s\n.\nQUIT\n" %
            (sender, rcpt, sender, rcpt, subject, uuid.uuid4().hex, body))


def outgoing_news(group, subject, body):
    mid = "<%s@point.example>" % uuid.uuid4().hex
    return mid, ("From: Point <point@example.org>\nNewsgroups: %s\nSubject: %s\nMessage-ID: %s\n\n%s\n"
                 % (group, subject, mid, body))


def pop3_count(user, password):
    p = poplib.POP3(HOST, port("POP3"), timeout=10)
    p.user(user)
    p.pass_(password)
    n = p.stat()[0]
    p.quit()
    return n


def nntp_has(mid):
    with nntplib.NNTP(HOST, port("NNTP"), timeout=10) as n:
        try:
            n.stat(mid)
            return True
        except nntplib.NNTPTemporaryError:
            return False
