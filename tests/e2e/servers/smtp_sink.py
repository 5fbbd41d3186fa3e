#!/usr/bin/python3
"""SMTP test server on aiosmtpd (Debian's python3-aiosmtpd; run it with /usr/bin/python3).

smtp_sink.py --dir DIR --listen PORT[:auth] [--listen ...] [--mailroot M] [--reject ADDR]...

Each --listen opens one server on 127.0.0.1; ':auth' makes it answer "530" to MAIL FROM until
AUTH succeeded, without it AUTH is offered but optional. AUTH LOGIN and PLAIN without TLS check
the users in DIR/users ("name:password" lines, read again at every AUTH).

Every accepted message is kept as received (after dot-unstuffing, CRLF kept, nothing added):
  * one file per recipient in MAILROOT/<local part>/Maildir/new/ (MAILROOT defaults to DIR/mail;
    point it at Dovecot's mail root and what was sent can be fetched by POP3);
  * one JSON line per transaction in DIR/smtp-messages.jsonl:
    {"port", "helo", "peer", "auth", "mail_from", "mail_options", "rcpt_tos", "size", "files"}
Scripted failures: RCPT of an address given with --reject, or whose local part starts with
"reject", gets 550; local part starting with "tempfail" gets 451; MAIL FROM starting with
"reject" gets 553.
"""
import argparse, asyncio, json, os, re, signal, socket, sys, time
from aiosmtpd.smtp import SMTP, AuthResult


class Server(SMTP):
    # What common MTAs send, rather than aiosmtpd's "User Name\0"
    AuthLoginUsernameChallenge = "Username:"
    AuthLoginPasswordChallenge = "Password:"
    # Real MTAs take lines longer than RFC 5321's 1000 octets; a sink must not lose them
    line_length_limit = 65536


class Sink:
    def __init__(self, args):
        self.args = args
        self.rejects = {a.lower() for a in args.reject}
        self.n = 0

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        if address.lower().startswith("reject"):
            return "553 5.1.8 sender rejected (scripted)"
        envelope.mail_from = address
        envelope.mail_options.extend(mail_options)
        return "250 2.1.0 OK"

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        local = address.split("@", 1)[0].lower()
        if address.lower() in self.rejects or local.startswith("reject"):
            return "550 5.1.1 <%s>: mailbox unavailable (scripted)" % address
        if local.startswith("tempfail"):
            return "451 4.3.0 try again later (scripted)"
        envelope.rcpt_tos.append(address)
        envelope.rcpt_options.extend(rcpt_options)
        return "250 2.1.5 OK"

    async def handle_DATA(self, server, session, envelope):
        data = envelope.original_content
        if data is None:
            data = envelope.content if isinstance(envelope.content, bytes) else b""
        files = []
        for rcpt in envelope.rcpt_tos:
            local = re.sub(r"[^a-z0-9._+-]", "_", rcpt.split("@", 1)[0].lower()).lstrip(".") or "_"
            md = os.path.join(self.args.mailroot, local, "Maildir")
            for sub in ("tmp", "new", "cur"):
                os.makedirs(os.path.join(md, sub), exist_ok=True)
            self.n += 1
            name = "%d.M%dP%dQ%d.%s" % (time.time(), time.time_ns() % 1000000, os.getpid(),
                                        self.n, socket.gethostname())
            tmp = os.path.join(md, "tmp", name)
            with open(tmp, "wb") as f:
                f.write(data)
            os.chmod(tmp, 0o644)
            os.rename(tmp, os.path.join(md, "new", name))
            files.append(os.path.join(md, "new", name))
        login = getattr(session.auth_data, "login", None)
        rec = {"port": server.transport.get_extra_info("sockname")[1],
               "helo": session.host_name, "peer": list(session.peer),
               "auth": login.decode(errors="replace") if isinstance(login, bytes) else login,
               "mail_from": envelope.mail_from, "mail_options": envelope.mail_options,
               "rcpt_tos": envelope.rcpt_tos, "size": len(data), "files": files}
        with open(os.path.join(self.args.dir, "smtp-messages.jsonl"), "a") as f:
            f.write(json.dumps(rec) + "\n")
        return "250 2.0.0 OK message accepted"


def authenticator(users_file):
    def check(server, session, envelope, mechanism, auth_data):
        try:
            login = auth_data.login.decode()
            password = auth_data.password.decode()
            with open(users_file) as f:
                users = dict(l.rstrip("\n").split(":", 1) for l in f if ":" in l)
        except (AttributeError, UnicodeDecodeError, OSError):
            return AuthResult(success=False, handled=False)
        if users.get(login) == password and login:
            return AuthResult(success=True, auth_data=auth_data)
        return AuthResult(success=False, handled=False)
    return check


async def main(args):
    loop = asyncio.get_running_loop()
    sink = Sink(args)
    auth = authenticator(os.path.join(args.dir, "users"))
    servers = []
    for spec in args.listen:
        port, _, mode = spec.partition(":")
        required = mode == "auth"
        factory = (lambda required=required: Server(
            sink, hostname="localhost", ident="Kestro test SMTP", authenticator=auth,
            auth_required=required, auth_require_tls=False, decode_data=False))
        servers.append(await loop.create_server(factory, host="127.0.0.1", port=int(port)))
    stop = loop.create_future()
    for sig in (signal.SIGTERM, signal.SIGINT):
        loop.add_signal_handler(sig, lambda: stop.done() or stop.set_result(None))
    print("listening on", ", ".join(args.listen), flush=True)
    await stop
    for s in servers:
        s.close()


if __name__ == "__main__":
    p = argparse.ArgumentParser()
    p.add_argument("--dir", required=True)
    p.add_argument("--listen", action="append", required=True)
    p.add_argument("--mailroot")
    p.add_argument("--reject", action="append", default=[])
    a = p.parse_args()
    a.mailroot = a.mailroot or os.path.join(a.dir, "mail")
    asyncio.run(main(a))
