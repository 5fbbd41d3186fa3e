"""A TCP relay that takes the delayed-ACK stall out of a lock-step exchange with INN.

INN's reader answers ARTICLE with two writes (the status line, then the article). With Nagle on
its socket the second write waits until the first is acknowledged, and a client that reads and
then waits for the next command's answer acknowledges only after Linux's delayed-ACK timer:
about 40 ms per command on 127.0.0.1, whatever the client does between commands. The relay reads
from the server with TCP_QUICKACK (so the server's second write leaves at once) and writes to the
client with TCP_NODELAY. It runs as threads of the benchmark's own process; its CPU time is not
counted for any program.
"""
import socket, threading


def _pipe(src, dst):
    try:
        while True:
            src.setsockopt(socket.IPPROTO_TCP, socket.TCP_QUICKACK, 1)   # cleared by each ACK
            data = src.recv(262144)
            if not data:
                break
            dst.sendall(data)
    except OSError:
        pass
    finally:
        for s, how in ((dst, socket.SHUT_WR), (src, socket.SHUT_RD)):
            try:
                s.shutdown(how)
            except OSError:
                pass


def _serve(listener, host, port):
    while True:
        down, _ = listener.accept()
        try:
            up = socket.create_connection((host, port))
        except OSError:
            down.close()
            continue
        for s in (down, up):
            s.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        threading.Thread(target=_pipe, args=(up, down), daemon=True).start()
        threading.Thread(target=_pipe, args=(down, up), daemon=True).start()


def start(host, port):
    """Listens on a free port of host and relays every connection to host:port; the port."""
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind((host, 0))
    listener.listen(64)
    threading.Thread(target=_serve, args=(listener, host, port), daemon=True).start()
    return listener.getsockname()[1]
