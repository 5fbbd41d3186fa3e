#!/bin/bash
# Fake line servers for failure cases (fake_line_server.py, Python stdlib only).
# Usage: fake-line.sh DIR LISTENER...     e.g.  fake-line.sh DIR silent:24110 "close:24111:+OK hi"
#        -> prints the pid on the last line; the ports it opened are in DIR/ready
#           ("ready MODE PORT" per listener). Stop: DIR/stop
# Needs no root and installs nothing.
set -euo pipefail
source "$(dirname "$0")/common.sh"
DIR=${1:?usage: $0 DIR LISTENER...}
shift
[ $# -gt 0 ] || die "no listener given"
mkdir -p "$DIR"; DIR=$(cd "$DIR" && pwd)
[ -x "$DIR/stop" ] && "$DIR/stop"
write_stop "$DIR" "$DIR/fake.pid"
rm -f "$DIR/ready"
$PY "$E2E_SERVERS/fake_line_server.py" --ready-file "$DIR/ready" "$@" </dev/null >"$DIR/fake.out" 2>"$DIR/fake.log" &
echo $! > "$DIR/fake.pid"
for _ in $(seq 1 400); do
  [ -s "$DIR/ready" ] && break
  alive "$(cat "$DIR/fake.pid")" || { cat "$DIR/fake.log" >&2; die "fake server did not start"; }
  sleep 0.025
done
[ -s "$DIR/ready" ] || { "$DIR/stop"; die "fake server not ready"; }
cat "$DIR/fake.pid"
