#!/bin/bash
# End-to-end test servers for the whole test run (the CTest fixture kestro_e2e calls this).
#
#   harness.sh start_all BASEDIR [BASEPORT]   starts every server on 127.0.0.1 and writes
#                                             BASEDIR/e2e.env (the packages come from
#                                             scripts/setup.sh; a missing one fails at once)
#   harness.sh stop_all BASEDIR               stops them all (no daemon is left behind)
#
# BASEPORT (default 24100) is the first of 20 ports; when one of them is taken (another build
# tree's run), the next block of 50 is tried. Servers live in BASEDIR/srv, or, when a directory
# above BASEDIR is not searchable by others (the servers switch to mail and news), in a
# /tmp/kestro-e2e.* directory that BASEDIR/srv links to. See README.md for e2e.env.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/servers/common.sh"
need_root "$@"

# port offsets from the base
O_POP3=0 O_SMTP=1 O_SMTP_AUTH=2 O_NNTP=3 O_NNTP_AUTH=4 O_TIME=5 O_DAYTIME=6
O_FAKE_SILENT=10 O_FAKE_CLOSE_POP3=11 O_FAKE_CLOSE_SMTP=12 O_FAKE_CLOSE_NNTP=13
O_FAKE_DELAY_POP3=14 O_FAKE_DELAY_SMTP=15 O_FAKE_DELAY_NNTP=16
SPAN=20 STEP=50 TRIES=20
FAKE_DELAY_MS=200

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# ports_free BASE: true when TCP and UDP ports BASE .. BASE+SPAN-1 of 127.0.0.1 can be bound
ports_free() {
  $PY - "$1" "$SPAN" <<'PYEOF'
import socket, sys
base, span = int(sys.argv[1]), int(sys.argv[2])
for port in range(base, base + span):
    for kind in (socket.SOCK_STREAM, socket.SOCK_DGRAM):
        s = socket.socket(socket.AF_INET, kind)
        # as the servers do: connections of an earlier run in TIME_WAIT do not block the port
        s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        try:
            s.bind(("127.0.0.1", port))
        except OSError:
            sys.exit(1)
        finally:
            s.close()
PYEOF
}

stop_all() {
  local base=${1:?usage: $0 stop_all BASEDIR} srv d pids=()
  [ -d "$base" ] || return 0
  base=$(cd "$base" && pwd)
  rm -f "$base/e2e.env"
  srv=$base/srv
  [ -d "$srv" ] || return 0
  # stop in parallel: Dovecot and innd each take about a second
  for d in fake time nntp smtp pop3; do
    if [ -x "$srv/$d/stop" ]; then "$srv/$d/stop" & pids+=($!); fi
  done
  for p in ${pids[@]+"${pids[@]}"}; do wait "$p" || true; done
  local left=''
  for f in "$srv"/*/*.pid; do
    [ -s "$f" ] || continue
    p=$(cat "$f")
    if alive "$p"; then left+=" $p($f)"; fi
  done
  [ -z "$left" ] || die "still running after stop:$left"
  echo "e2e servers stopped"
}

# start_servers SRV BASEPORT: starts every server; returns 1 when one fails (the others run on)
start_servers() {
  local srv=$1 port=$2
  P() { echo $((port + $1)); }
  run() { # name command...
    local name=$1 t pid; shift
    t=$(now_ms)
    pid=$("$@" | tail -n 1) || return 1
    echo "$name started in $(( $(now_ms) - t )) ms (pid $pid)"
  }
  run pop3 "$HERE/servers/pop3-dovecot.sh" "$srv/pop3" "$(P $O_POP3)" || return 1
  run smtp "$HERE/servers/smtp-aiosmtpd.sh" "$srv/smtp" "$(P $O_SMTP)" \
    --auth-port "$(P $O_SMTP_AUTH)" --mailroot "$srv/pop3/mail" || return 1
  run nntp "$HERE/servers/nntp-inn2.sh" "$srv/nntp" "$(P $O_NNTP)" "$(P $O_NNTP_AUTH)" || return 1
  run time "$HERE/servers/time-xinetd.sh" "$srv/time" "$(P $O_TIME)" "$(P $O_DAYTIME)" || return 1
  run fake "$HERE/servers/fake-line.sh" "$srv/fake" \
    "silent:$(P $O_FAKE_SILENT)" \
    "close:$(P $O_FAKE_CLOSE_POP3):+OK fake POP3 server closing" \
    "close:$(P $O_FAKE_CLOSE_SMTP):220 fake.test.invalid ESMTP closing" \
    "close:$(P $O_FAKE_CLOSE_NNTP):200 fake.test.invalid news server closing" \
    "delay:$(P $O_FAKE_DELAY_POP3):$(P $O_POP3):$FAKE_DELAY_MS" \
    "delay:$(P $O_FAKE_DELAY_SMTP):$(P $O_SMTP):$FAKE_DELAY_MS" \
    "delay:$(P $O_FAKE_DELAY_NNTP):$(P $O_NNTP):$FAKE_DELAY_MS" || return 1
}

start_all() {
  local base=${1:?usage: $0 start_all BASEDIR [BASEPORT]} port=${2:-24100} srv t p n
  mkdir -p "$base"; base=$(cd "$base" && pwd); chmod 755 "$base"
  stop_all "$base" >/dev/null
  # every server's packages at once, so a new machine learns all it lacks in one message
  require_packages dovecot-pop3d inn2 python3-aiosmtpd xinetd openssl procps

  # a previous run's /tmp directory goes; a build tree's stays (only its contents are renewed)
  if [ -L "$base/srv" ]; then rm -rf "$(readlink "$base/srv")"; rm -f "$base/srv"; fi
  rm -rf "$base/srv"
  if (prepare_dir "$base" >/dev/null) 2>/dev/null; then
    mkdir -p "$base/srv"; srv=$base/srv
  else
    srv=$(mktemp -d /tmp/kestro-e2e.XXXXXX); ln -s "$srv" "$base/srv"
  fi
  chmod 755 "$srv"

  # Another build tree may take the same free block at the same moment: then a server cannot
  # bind, and the next block is tried.
  local attempt
  for attempt in 1 2 3; do
    for ((n = 0; n < TRIES; n++)); do
      ports_free "$port" && break
      port=$((port + STEP))
    done
    [ "$n" -lt "$TRIES" ] || die "no free block of $SPAN ports found"
    t=$(now_ms)
    if start_servers "$srv" "$port"; then break; fi
    echo "start failed on ports $port..$((port + SPAN - 1)); stopping what started" >&2
    stop_all "$base" >/dev/null 2>&1 || true
    [ "$attempt" != 3 ] || die "could not start the servers"
    port=$((port + STEP))
  done
  P() { echo $((port + $1)); }
  echo "all servers started in $(( $(now_ms) - t )) ms"

  # adduser NAME PASS: a user of POP3 and of SMTP AUTH with its own Maildir
  cat > "$srv/adduser" <<ADD
#!/bin/bash
set -euo pipefail
"$srv/pop3/adduser" "\$1" "\$2"
exec 9>"$srv/smtp/users.lock"; flock 9
{ grep -v "^\$1:" "$srv/smtp/users" || true; echo "\$1:\$2"; } > "$srv/smtp/users.new"
chmod 644 "$srv/smtp/users.new"; mv "$srv/smtp/users.new" "$srv/smtp/users"
ADD
  chmod 755 "$srv/adduser"

  cat > "$base/e2e.env.tmp" <<ENV
# Written by tests/e2e/harness.sh start_all; removed by stop_all. KEY=VALUE, no quoting.
KESTRO_E2E_HOST=127.0.0.1
KESTRO_E2E_DIR=$srv
KESTRO_E2E_PYTHON=$PY
KESTRO_E2E_ADDUSER=$srv/adduser
KESTRO_E2E_POP3_PORT=$(P $O_POP3)
KESTRO_E2E_POP3_USER=test
KESTRO_E2E_POP3_PASS=secret
KESTRO_E2E_POP3_USER2=other
KESTRO_E2E_POP3_PASS2=pass2
KESTRO_E2E_POP3_DIR=$srv/pop3
KESTRO_E2E_POP3_MAILROOT=$srv/pop3/mail
KESTRO_E2E_POP3_DROP=$srv/pop3/drop
KESTRO_E2E_SMTP_PORT=$(P $O_SMTP)
KESTRO_E2E_SMTP_AUTH_PORT=$(P $O_SMTP_AUTH)
KESTRO_E2E_SMTP_USER=test
KESTRO_E2E_SMTP_PASS=secret
KESTRO_E2E_SMTP_DIR=$srv/smtp
KESTRO_E2E_SMTP_LOG=$srv/smtp/smtp-messages.jsonl
KESTRO_E2E_SMTP_REJECT_RCPT=reject@example.org
KESTRO_E2E_SMTP_TEMPFAIL_RCPT=tempfail@example.org
KESTRO_E2E_SMTP_REJECT_FROM=reject@example.org
KESTRO_E2E_NNTP_PORT=$(P $O_NNTP)
KESTRO_E2E_NNTP_AUTH_PORT=$(P $O_NNTP_AUTH)
KESTRO_E2E_NNTP_USER=reader
KESTRO_E2E_NNTP_PASS=secret
KESTRO_E2E_NNTP_USER2=poster
KESTRO_E2E_NNTP_PASS2=secret2
KESTRO_E2E_NNTP_GROUPS=local.general,local.test,test.one,test.two,test.moderated
KESTRO_E2E_NNTP_PRIVATE_GROUP=private.staff
KESTRO_E2E_NNTP_DIR=$srv/nntp
KESTRO_E2E_NNTP_INJECT=$srv/nntp/inject
KESTRO_E2E_NNTP_NEWGROUP=$srv/nntp/newgroup
KESTRO_E2E_NNTP_BULK=$srv/nntp/bulk
KESTRO_E2E_TIME_PORT=$(P $O_TIME)
KESTRO_E2E_DAYTIME_PORT=$(P $O_DAYTIME)
KESTRO_E2E_FAKE_SILENT_PORT=$(P $O_FAKE_SILENT)
KESTRO_E2E_FAKE_CLOSE_POP3_PORT=$(P $O_FAKE_CLOSE_POP3)
KESTRO_E2E_FAKE_CLOSE_SMTP_PORT=$(P $O_FAKE_CLOSE_SMTP)
KESTRO_E2E_FAKE_CLOSE_NNTP_PORT=$(P $O_FAKE_CLOSE_NNTP)
KESTRO_E2E_FAKE_DELAY_POP3_PORT=$(P $O_FAKE_DELAY_POP3)
KESTRO_E2E_FAKE_DELAY_SMTP_PORT=$(P $O_FAKE_DELAY_SMTP)
KESTRO_E2E_FAKE_DELAY_NNTP_PORT=$(P $O_FAKE_DELAY_NNTP)
KESTRO_E2E_FAKE_DELAY_MS=$FAKE_DELAY_MS
KESTRO_E2E_FAKE_SERVER=$HERE/servers/fake_line_server.py
ENV
  mv "$base/e2e.env.tmp" "$base/e2e.env"
  chmod 644 "$base/e2e.env"
  echo "env file: $base/e2e.env (ports $port..$((port + SPAN - 1)), servers in $srv)"
}

# Starting takes a few seconds, stopping one or two. Each runs bounded (common.sh); a start that
# gives up stops what had started.
bounded_verbs "the servers" 120 60 start_all stop_all "$@"
echo "usage: $0 start_all BASEDIR [BASEPORT] | stop_all BASEDIR" >&2
exit 2
