#!/bin/bash
# Time servers: xinetd's built-in services time (RFC 868: 4 bytes, big-endian seconds since
# 1900-01-01 UTC) and daytime (RFC 867: a text line such as "06 DEC 2026 21:18:23 UTC\r\n"),
# each over TCP and UDP on 127.0.0.1. 'type = INTERNAL UNLISTED' allows ports other than the
# /etc/services ones (37, 13). The system's /etc/xinetd.conf is neither read nor started.
# Usage: time-xinetd.sh DIR TIME_PORT [DAYTIME_PORT]   (default DAYTIME_PORT = TIME_PORT + 1)
#        -> prints xinetd's pid on the last line. Stop: DIR/stop
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_root "$@"
DIR=${1:?usage: $0 DIR TIME_PORT [DAYTIME_PORT]}
TPORT=${2:?usage: $0 DIR TIME_PORT [DAYTIME_PORT]}
DPORT=${3:-$((TPORT + 1))}

require_packages xinetd
DIR=$(prepare_dir "$DIR")
[ -x "$DIR/stop" ] && "$DIR/stop"

svc() { # name socket_type protocol port wait
  cat <<SVC
service $1
{
    id          = $1-$3-kestro
    type        = INTERNAL UNLISTED
    socket_type = $2
    protocol    = $3
    port        = $4
    bind        = 127.0.0.1
    wait        = $5
    user        = root
}
SVC
}
{
  cat <<CONF
defaults
{
    instances = 50
    log_type  = FILE $DIR/xinetd.log
}
CONF
  svc time    stream tcp "$TPORT" no
  svc time    dgram  udp "$TPORT" yes
  svc daytime stream tcp "$DPORT" no
  svc daytime dgram  udp "$DPORT" yes
} > "$DIR/xinetd.conf"
write_stop "$DIR" "$DIR/xinetd.pid"

: > "$DIR/xinetd.out"
xinetd -dontfork -f "$DIR/xinetd.conf" -pidfile "$DIR/xinetd.pidfile" -filelog "$DIR/xinetd.log" \
  </dev/null >>"$DIR/xinetd.out" 2>&1 &
echo $! > "$DIR/xinetd.pid"
# xinetd binds its services one after the other: the last one is daytime over UDP, which a TCP
# probe cannot see, so wait for its "Started working" line after the TCP ports answer
for p in "$TPORT" "$DPORT"; do
  wait_greeting "$p" '' "$(cat "$DIR/xinetd.pid")" ||
    { cat "$DIR/xinetd.out" "$DIR/xinetd.log" >&2; "$DIR/stop"; die "xinetd does not listen on $p"; }
done
for _ in $(seq 1 200); do
  grep -qs 'Started working' "$DIR/xinetd.log" "$DIR/xinetd.out" && break
  sleep 0.025
done
cat "$DIR/xinetd.pid"
