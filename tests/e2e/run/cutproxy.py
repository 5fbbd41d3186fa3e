"""A proxy for the reliability runs: it forwards connections from a port of 127.0.0.1 to a real
server and counts the bytes it forwards, both ways and over every connection of a run. A run's
budget says how many bytes may pass: once they are spent the proxy cuts every connection (and
refuses new ones), and may kill the program at that moment instead of letting it see the cut.
"""
import select
import socket
import threading

HOST = "127.0.0.1"


class Budget:
    """The bytes the proxies of one run may forward: unlimited with limit None. on_spent runs
    once, when the last byte has passed (before any connection is cut)."""

    def __init__(self, limit=None, on_spent=None):
        self.limit = limit
        self.on_spent = on_spent
        self.forwarded = 0
        self.spent = False
        self.lock = threading.Lock()

    def take(self, wanted):
        """How many of `wanted` bytes may pass now."""
        with self.lock:
            if self.limit is None:
                self.forwarded += wanted
                return wanted
            allowed = max(0, min(wanted, self.limit - self.forwarded))
            self.forwarded += allowed
            spent_now = not self.spent and self.forwarded >= self.limit
            self.spent = self.spent or spent_now
        if spent_now and self.on_spent:
            self.on_spent()
        return allowed

    def exhausted(self):
        with self.lock:
            return self.limit is not None and self.forwarded >= self.limit


class CutProxy:
    """Listens on a free port of 127.0.0.1 and forwards each connection to upstream_port under
    the budget in force (set `budget` before each run)."""

    def __init__(self, upstream_port):
        self.upstream = (HOST, upstream_port)
        self.budget = Budget()
        self.sock = socket.socket()
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.bind((HOST, 0))
        self.sock.listen(16)
        self.port = self.sock.getsockname()[1]
        threading.Thread(target=self._accept, daemon=True).start()

    def stop(self):
        try:
            self.sock.close()
        except OSError:
            pass

    def _accept(self):
        while True:
            try:
                client, _ = self.sock.accept()
            except OSError:
                return
            threading.Thread(target=self._forward, args=(client, self.budget), daemon=True).start()

    def _forward(self, client, budget):
        server = None
        try:
            if budget.exhausted():
                return
            server = socket.create_connection(self.upstream, timeout=10)
            server.settimeout(None)
            peer = {client: server, server: client}
            while True:
                ready, _, _ = select.select([client, server], [], [], 60)
                if not ready:
                    return
                for side in ready:
                    data = side.recv(65536)
                    if not data:
                        return
                    allowed = budget.take(len(data))
                    if allowed:
                        peer[side].sendall(data[:allowed])
                    if allowed < len(data) or budget.exhausted():
                        return
        except OSError:
            pass
        finally:
            for s in (client, server):
                if s is not None:
                    try:
                        s.shutdown(socket.SHUT_RDWR)
                    except OSError:
                        pass
                    s.close()
