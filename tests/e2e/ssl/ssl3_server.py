#!/usr/bin/python3
"""An SSL 3.0 server for the client's end-to-end tests, built on python3-scapy's TLS automaton
(the only SSL 3.0 server Debian still ships). After the handshake it either serves a small line
protocol or relays the plaintext to a TCP server (SSL in front of Dovecot).

  ssl3_server.py --port P --cert C --key K --suite 9|10 [--relay-env FILE --relay-key KEY]

Line protocol (one connection at a time; the greeting comes first):
  "+OK ssl3 ready <suite>"          greeting
  ECHO text                         -> text
  BULK total size                   -> total bytes of numbered 64-byte lines, in records of
                                       size bytes, then ".": reads as many small records
  QUIT                              -> "+OK bye", close_notify, close
With --relay-env the upstream port is read from KEY in FILE (KEY=VALUE lines) at each connection.
"""
import argparse
import os
import select
import socket
import sys

from scapy.layers.tls.automaton_srv import TLSServerAutomaton
from scapy.layers.tls.basefields import _tls_version
from scapy.layers.tls.record import TLSApplicationData, TLSAlert
from scapy.automaton import ATMT


def bulk_lines(total):
    out = bytearray()
    n = 0
    while len(out) < total:
        line = b"%07d " % n
        line += b"x" * (62 - len(line)) + b"\r\n"
        out += line
        n += 1
    return bytes(out[:total])


class Ssl3Server(TLSServerAutomaton):
    def parse_args(self, relay_env=None, relay_key=None, **kargs):
        super().parse_args(**kargs)
        self.relay_env = relay_env
        self.relay_key = relay_key

    def send_app(self, data, size=16384, batch=64):
        pending = 0
        for at in range(0, len(data), size):
            self.add_record()
            self.add_msg(TLSApplicationData(data=data[at:at + size]))
            pending += 1
            if pending == batch:
                self.flush_records()
                pending = 0
        if pending:
            self.flush_records()

    def recv_app(self, timeout):
        """Application data received (b"" when the client is gone, None on time-out)."""
        self.get_next_msg(timeout, 1)
        if not self.buffer_in:
            return None
        data = b""
        while self.buffer_in:
            p = self.buffer_in.pop(0)
            if isinstance(p, TLSApplicationData):
                data += p.data
            elif isinstance(p, TLSAlert):
                return b""
        return data

    def close_notify(self):
        self.add_record()
        self.add_msg(TLSAlert(level=1, descr=0))
        try:
            self.flush_records()
        except OSError:
            pass

    def serve_lines(self):
        suite = self.cur_session.wcs.ciphersuite.val
        self.send_app(b"+OK ssl3 ready %d\r\n" % suite)
        buf = b""
        while True:
            try:
                data = self.recv_app(60)
            except self.SOCKET_CLOSED:
                return
            if not data:
                return
            buf += data
            while b"\r\n" in buf:
                line, buf = buf.split(b"\r\n", 1)
                if line.startswith(b"ECHO "):
                    self.send_app(line[5:] + b"\r\n")
                elif line.startswith(b"BULK "):
                    total, size = (int(x) for x in line.split()[1:3])
                    self.send_app(bulk_lines(total) + b".\r\n", size)
                elif line == b"QUIT":
                    self.send_app(b"+OK bye\r\n")
                    self.close_notify()
                    return
                else:
                    self.send_app(b"-ERR unknown\r\n")

    def relay(self):
        port = None
        with open(self.relay_env) as f:
            for line in f:
                if line.startswith(self.relay_key + "="):
                    port = int(line.strip().split("=", 1)[1])
        up = socket.create_connection(("127.0.0.1", port))
        try:
            while True:
                r, _, _ = select.select([self.socket, up], [], [], 120)
                if not r:
                    return
                if up in r:
                    data = up.recv(65536)
                    if not data:
                        self.close_notify()
                        return
                    self.send_app(data)
                if self.socket in r:
                    try:
                        data = self.recv_app(5)
                    except self.SOCKET_CLOSED:
                        return
                    if data == b"":
                        return
                    if data:
                        up.sendall(data)
        finally:
            up.close()

    @ATMT.state()
    def SENT_SERVERFLIGHT2(self):
        self.vprint("handshake completed")
        try:
            if self.relay_env:
                self.relay()
            else:
                self.serve_lines()
        except Exception as e:  # a broken client must not stop the server
            print("session ended: %r" % e, flush=True)
        try:
            self.socket.close()
        except OSError:
            pass
        raise self.WAITING_CLIENT()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--port", type=int, required=True)
    ap.add_argument("--cert", required=True)
    ap.add_argument("--key", required=True)
    ap.add_argument("--suite", type=int, default=10)
    ap.add_argument("--relay-env")
    ap.add_argument("--relay-key")
    ap.add_argument("--verbose", action="store_true")
    a = ap.parse_args()
    srv = Ssl3Server(server="127.0.0.1", sport=a.port, mycert=a.cert, mykey=a.key,
                     preferred_ciphersuite=a.suite, is_echo_server=False,
                     relay_env=a.relay_env, relay_key=a.relay_key, verbose=a.verbose)
    print("ready %d" % a.port, flush=True)
    srv.run()


if __name__ == "__main__":
    main()
