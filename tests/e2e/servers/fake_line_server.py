#!/usr/bin/python3
"""A scriptable line server for failure cases (stdlib only; any python3 >= 3.7).

fake_line_server.py [--ready-file F] LISTENER...

Each LISTENER opens one TCP port on 127.0.0.1 (PORT 0 = any free port) and serves every
connection the same way:
  silent:PORT                 accept, read and discard, say nothing (idle time-outs)
  close:PORT[:GREETING]       send GREETING + CRLF (if given), then close the connection
  delay:PORT:UPSTREAM[:MS]    relay to 127.0.0.1:UPSTREAM, holding each line the client sends
                              for MS milliseconds (default 200): every answer of the real server
                              comes at least MS after its command
  transcript:PORT:FILE        play FILE, one step per line:
                                S: text   send text + CRLF      (\\r \\n \\t \\\\ \\xHH escapes;
                                R: text   send text as is        R: sends no CRLF)
                                C: text   read one line from the client; a mismatch is logged
                                          and ends the connection ("C: *" takes any line)
                                U: text   read lines from the client up to one equal to text
                                          (a mail body up to its "."); the end of the
                                          connection before it is logged
                                D: ms     wait ms milliseconds
                                X         close now (also at the end of FILE)
When every listener is open it prints "ready MODE PORT" for each (in order) and writes the
same lines to --ready-file. It runs until SIGTERM or SIGINT. Log lines go to stderr.
"""
import asyncio, re, signal, sys

HOST = "127.0.0.1"


def log(*a):
    print(*a, file=sys.stderr, flush=True)


def unescape(text):
    return re.sub(rb"\\(x[0-9A-Fa-f]{2}|.)",
                  lambda m: {b"r": b"\r", b"n": b"\n", b"t": b"\t"}.get(
                      m.group(1), bytes([int(m.group(1)[1:], 16)]) if m.group(1)[:1] == b"x"
                      else m.group(1)), text.encode("latin-1"))


async def silent(reader, writer, args):
    while await reader.read(65536):
        pass


async def close(reader, writer, args):
    if args:
        writer.write(":".join(args).encode("latin-1") + b"\r\n")
        await writer.drain()


async def delay(reader, writer, args):
    upstream = int(args[0])
    ms = int(args[1]) if len(args) > 1 else 200
    ureader, uwriter = await asyncio.open_connection(HOST, upstream)

    async def down():
        while True:
            data = await ureader.read(65536)
            if not data:
                break
            writer.write(data)
            await writer.drain()
        writer.close()

    task = asyncio.ensure_future(down())
    try:
        while True:
            line = await reader.readline()
            if not line:
                break
            await asyncio.sleep(ms / 1000)
            uwriter.write(line)
            await uwriter.drain()
    finally:
        uwriter.close()
        await asyncio.wait([task], timeout=5)


async def transcript(reader, writer, args):
    path = ":".join(args)
    with open(path, encoding="latin-1") as f:
        steps = [l.rstrip("\r\n") for l in f]
    for n, step in enumerate(steps, 1):
        kind, _, text = step.partition(":")
        text = text[1:] if text.startswith(" ") else text
        if kind == "S":
            writer.write(unescape(text) + b"\r\n")
            await writer.drain()
        elif kind == "R":
            writer.write(unescape(text))
            await writer.drain()
        elif kind == "C":
            line = await reader.readline()
            got = line.rstrip(b"\r\n")
            if text != "*" and got != unescape(text):
                log("transcript %s line %d: expected %r, got %r" % (path, n, unescape(text), got))
                return
        elif kind == "U":
            while True:
                line = await reader.readline()
                if not line:
                    log("transcript %s line %d: the connection ended before %r"
                        % (path, n, unescape(text)))
                    return
                if line.rstrip(b"\r\n") == unescape(text):
                    break
        elif kind == "D":
            await asyncio.sleep(int(text) / 1000)
        elif kind.strip() == "X":
            return
        elif step.strip():
            log("transcript %s line %d: unknown step %r" % (path, n, step))
            return


MODES = {"silent": silent, "close": close, "delay": delay, "transcript": transcript}


def handler(mode, args):
    async def serve(reader, writer):
        try:
            await MODES[mode](reader, writer, args)
        except (ConnectionError, OSError) as e:
            log("%s: %s" % (mode, e))
        finally:
            writer.close()
    return serve


async def main(argv):
    ready_file = None
    if len(argv) >= 2 and argv[0] == "--ready-file":
        ready_file, argv = argv[1], argv[2:]
    if not argv:
        sys.exit(__doc__)
    ready = []
    servers = []
    for spec in argv:
        mode, _, rest = spec.partition(":")
        port, _, args = rest.partition(":")
        if mode not in MODES or not port.isdigit():
            sys.exit("bad listener %r\n%s" % (spec, __doc__))
        server = await asyncio.start_server(handler(mode, args.split(":") if args else []),
                                            HOST, int(port))
        servers.append(server)
        ready.append("ready %s %d" % (mode, server.sockets[0].getsockname()[1]))
    loop = asyncio.get_running_loop()
    stop = loop.create_future()
    for sig in (signal.SIGTERM, signal.SIGINT):
        loop.add_signal_handler(sig, lambda: stop.done() or stop.set_result(None))
    text = "".join(l + "\n" for l in ready)
    if ready_file:
        with open(ready_file + ".tmp", "w") as f:
            f.write(text)
        import os
        os.replace(ready_file + ".tmp", ready_file)
    sys.stdout.write(text)
    sys.stdout.flush()
    await stop
    for s in servers:
        s.close()


if __name__ == "__main__":
    asyncio.run(main(sys.argv[1:]))
