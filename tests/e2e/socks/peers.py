#!/usr/bin/python3
"""Peers for the SOCKS and telnet end-to-end tests, on 127.0.0.1 only.

  peers.py echo PORT                 greets with "200 echo ready" and sends every line back
  peers.py telnet PORT COMMAND...    runs telnetd for each connection (the socket as its
                                     standard input and output); COMMAND is its argument list
Prints "ready PORT" when listening; ends on SIGTERM.
"""
import os
import signal
import socket
import subprocess
import sys
import threading


def listen(port):
    s = socket.socket()
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.bind(("127.0.0.1", port))
    s.listen(16)
    return s


def echo_client(conn):
    with conn:
        conn.sendall(b"200 echo ready\r\n")
        buf = b""
        while True:
            data = conn.recv(65536)
            if not data:
                return
            buf += data
            while b"\n" in buf:
                line, buf = buf.split(b"\n", 1)
                if line.rstrip(b"\r") == b"QUIT":
                    conn.sendall(b"205 bye\r\n")
                    return
                conn.sendall(line + b"\n")


SESSIONS = []


def end(*_):
    # telnetd and its shell run in a session of their own, one process group each
    for p in SESSIONS:
        try:
            os.killpg(p.pid, signal.SIGTERM)
        except OSError:
            pass
    os._exit(0)


def main():
    mode, port = sys.argv[1], int(sys.argv[2])
    signal.signal(signal.SIGTERM, end)
    srv = listen(port)
    print("ready", port, flush=True)
    while True:
        conn, _ = srv.accept()
        if mode == "echo":
            threading.Thread(target=echo_client, args=(conn,), daemon=True).start()
        else:
            SESSIONS[:] = [p for p in SESSIONS if p.poll() is None]
            SESSIONS.append(subprocess.Popen(sys.argv[3:], stdin=conn, stdout=conn,
                                             stderr=subprocess.DEVNULL, close_fds=True,
                                             start_new_session=True))
            conn.close()


if __name__ == "__main__":
    main()
