#!/bin/bash
# SSL 3.0 peers for the SSL client's end-to-end tests (the CTest fixture kestro_e2e_ssl):
#
#   ssl-servers.sh start DIR [SERVERS_ENV]   checks for python3-scapy (scripts/setup.sh),
#                                         makes a certificate, starts on 127.0.0.1:
#                                           two scapy SSL 3.0 servers (suite 0x0009 and 0x000A),
#                                           scapy SSL 3.0 relays to the POP3, SMTP and NNTP
#                                             servers whose ports SERVERS_ENV names (read at
#                                             each connection: that fixture may start later),
#                                           openssl s_server speaking TLS only;
#                                         and writes DIR/ssl.env (KEY=VALUE lines).
#   ssl-servers.sh stop DIR               stops them.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/../servers/common.sh"

stop() {
  local dir=${1:?usage: $0 stop DIR} f pids=() p
  rm -f "$dir/ssl.env"
  for f in "$dir"/*.pid; do
    [ -s "$f" ] || continue
    p=$(cat "$f"); rm -f "$f"
    alive "$p" || continue
    kill "$p" 2>/dev/null || true
    pids+=("$p")
  done
  for _ in $(seq 50); do
    local left=()
    for p in ${pids[@]+"${pids[@]}"}; do alive "$p" && left+=("$p"); done
    [ ${#left[@]} = 0 ] && return 0
    sleep 0.1
  done
  for p in ${pids[@]+"${pids[@]}"}; do kill -9 "$p" 2>/dev/null || true; done
}

# The peers need scapy's TLS layer (python3-scapy, python3-cryptography) and openssl.
check_packages() {
  require_packages python3-scapy python3-cryptography openssl
  "$PY" -c 'import scapy.layers.tls.automaton_srv' 2>/dev/null ||
    die "$PY cannot load scapy's TLS server (python3-scapy)"
}

# A free TCP port of 127.0.0.1 (the kernel's choice; taken again by the server right after).
free_port() {
  "$PY" -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'
}

wait_port() {
  local port=$1 pid=$2
  for _ in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || die "server for port $port ended; see its log"
    "$PY" -c 'import socket,sys; socket.create_connection(("127.0.0.1",int(sys.argv[1])),1).close()' \
      "$port" 2>/dev/null && return 0
    sleep 0.1
  done
  die "nothing listens on $port"
}

start() {
  local dir=${1:?usage: $0 start DIR [SERVERS_ENV]} serversenv=${2:-} p pid
  mkdir -p "$dir"; dir=$(cd "$dir" && pwd)
  stop "$dir"
  check_packages
  if [ ! -s "$dir/cert.pem" ]; then
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$dir/key.pem" -out "$dir/cert.pem" \
      -days 3650 -subj "/CN=ssl3.test.invalid" 2>/dev/null
  fi
  : > "$dir/ssl.env.tmp"
  local names=(DES 3DES) suites=(9 10) i
  for i in 0 1; do
    p=$(free_port)
    "$PY" "$HERE/ssl3_server.py" --port "$p" --cert "$dir/cert.pem" --key "$dir/key.pem" \
      --suite "${suites[$i]}" > "$dir/${names[$i]}.log" 2>&1 &
    pid=$!; echo "$pid" > "$dir/${names[$i]}.pid"; wait_port "$p" "$pid"
    echo "SSL_${names[$i]}_PORT=$p" >> "$dir/ssl.env.tmp"
  done
  if [ -n "$serversenv" ]; then
    # relays to the servers of the kestro_e2e fixture: POP3 (Dovecot), SMTP (aiosmtpd), NNTP (INN)
    local proto
    for proto in POP3 SMTP NNTP; do
      p=$(free_port)
      "$PY" "$HERE/ssl3_server.py" --port "$p" --cert "$dir/cert.pem" --key "$dir/key.pem" \
        --suite 10 --relay-env "$serversenv" --relay-key "KESTRO_E2E_${proto}_PORT" \
        > "$dir/$proto.log" 2>&1 &
      pid=$!; echo "$pid" > "$dir/$proto.pid"; wait_port "$p" "$pid"
      echo "SSL_${proto}_PORT=$p" >> "$dir/ssl.env.tmp"
    done
    echo "SSL_SERVERS_ENV=$serversenv" >> "$dir/ssl.env.tmp"
  fi
  p=$(free_port)
  openssl s_server -quiet -www -accept "127.0.0.1:$p" -cert "$dir/cert.pem" \
    -key "$dir/key.pem" < /dev/null > "$dir/tls.log" 2>&1 &
  pid=$!; echo "$pid" > "$dir/tls.pid"; wait_port "$p" "$pid"
  echo "SSL_TLS_ONLY_PORT=$p" >> "$dir/ssl.env.tmp"
  mv "$dir/ssl.env.tmp" "$dir/ssl.env"
  cat "$dir/ssl.env"
}

# Each step runs bounded (common.sh); a start that gives up stops what had started.
bounded_verbs "the SSL peers" 60 30 start stop "$@"
die "usage: $0 start DIR [SERVERS_ENV] | stop DIR"
