#!/bin/bash
# Servers for the SOCKS and telnet end-to-end tests (the CTest fixture kestro_e2e_socks):
#
#   socks-servers.sh start DIR [BASEPORT]   checks for dante-server and inetutils-telnetd
#                                           (scripts/setup.sh) and starts on 127.0.0.1:
#                                             BASEPORT    Dante, SOCKS 4 and 5 without authentication
#                                             BASEPORT+1  Dante, SOCKS 5 with user name and password
#                                             BASEPORT+2  an echo server
#                                             BASEPORT+3  telnetd (a listener that starts it per
#                                                         connection, with a shell as its login)
#                                           BASEPORT+4 is left closed (a refused destination).
#                                           Writes DIR/socks.env (KEY=VALUE lines). When a port of
#                                           the block is taken, the block moves on by 50.
#   socks-servers.sh stop DIR               stops them.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/../servers/common.sh"
# The system user Dante checks user names and passwords against (it knows no other store).
SOCKS_USER=kestrosocks
SOCKS_PASS=socks-secret

stop() {
  local dir=${1:?usage: $0 stop DIR} f p
  rm -f "$dir/socks.env"
  for f in "$dir"/*.pid; do
    [ -s "$f" ] || continue
    p=$(cat "$f")
    kill "$p" 2>/dev/null || true
    for _ in $(seq 50); do alive "$p" || break; sleep 0.1; done
    kill -9 "$p" 2>/dev/null || true
    rm -f "$f"
  done
}

wait_port() {
  local port=$1 pid=$2
  for _ in $(seq 200); do
    alive "$pid" || die "server for port $port ended; see the logs in its directory"
    (exec 3<>/dev/tcp/127.0.0.1/"$port") 2>/dev/null && return 0
    sleep 0.05
  done
  die "nothing listens on $port"
}

dante_conf() {
  local dir=$1 port=$2 method=$3
  cat <<CONF
logoutput: $dir/danted-$port.log
internal: 127.0.0.1 port = $port
external: 127.0.0.1
clientmethod: none
socksmethod: $method
user.privileged: root
user.unprivileged: nobody
client pass {
  from: 127.0.0.1/32 to: 0.0.0.0/0
}
socks pass {
  from: 127.0.0.1/32 to: 127.0.0.1/32
  command: connect
  protocol: tcp
}
socks block {
  from: 0.0.0.0/0 to: 0.0.0.0/0
}
CONF
}

start() {
  local dir=${1:?usage: $0 start DIR [BASEPORT]} base=${2:-25300} p pid i
  dir=$(prepare_dir "$dir")
  stop "$dir"
  require_packages dante-server inetutils-telnetd
  id "$SOCKS_USER" >/dev/null 2>&1 ||
    useradd --system --no-create-home --shell /usr/sbin/nologin "$SOCKS_USER"
  echo "$SOCKS_USER:$SOCKS_PASS" | chpasswd
  local from=$base ok
  for _ in $(seq 20); do
    ok=1
    for i in 0 1 2 3 4; do port_free $((base + i)) || { ok=0; break; }; done
    [ $ok = 1 ] && break
    base=$((base + 50))
  done
  [ $ok = 1 ] || die "no free block of five ports from $from"

  dante_conf "$dir" "$base" none > "$dir/danted-none.conf"
  dante_conf "$dir" $((base + 1)) username > "$dir/danted-user.conf"
  for name in none user; do
    p=$([ $name = none ] && echo "$base" || echo $((base + 1)))
    /usr/sbin/danted -f "$dir/danted-$name.conf" > "$dir/danted-$name.out" 2>&1 &
    pid=$!; echo "$pid" > "$dir/danted-$name.pid"; wait_port "$p" "$pid"
  done
  "$PY" "$HERE/peers.py" echo $((base + 2)) > "$dir/echo.log" 2>&1 &
  pid=$!; echo "$pid" > "$dir/echo.pid"; wait_port $((base + 2)) "$pid"
  # the listener ends the sessions it started when it is stopped; telnetd greets with its banner
  # (system, host and terminal line) before the shell starts
  "$PY" "$HERE/peers.py" telnet $((base + 3)) /usr/sbin/telnetd -E "$HERE/session.sh" \
    > "$dir/telnet.log" 2>&1 &
  pid=$!; echo "$pid" > "$dir/telnet.pid"; wait_port $((base + 3)) "$pid"

  cat > "$dir/socks.env.tmp" <<ENV
SOCKS_PORT=$base
SOCKS_AUTH_PORT=$((base + 1))
SOCKS_USER=$SOCKS_USER
SOCKS_PASS=$SOCKS_PASS
ECHO_PORT=$((base + 2))
TELNET_PORT=$((base + 3))
CLOSED_PORT=$((base + 4))
ENV
  mv "$dir/socks.env.tmp" "$dir/socks.env"
  cat "$dir/socks.env"
}

# Each step runs bounded (common.sh); a start that gives up stops what had started.
if [ "${1:-}" = start ]; then need_root "$@"; fi
bounded_verbs "the SOCKS servers" 60 30 start stop "$@"
die "usage: $0 start DIR [BASEPORT] | stop DIR"
