#!/bin/bash
# SMTP test server: aiosmtpd (python3-aiosmtpd), see smtp_sink.py for what it does.
# Usage: smtp-aiosmtpd.sh DIR PORT [--auth-port P] [--mailroot M] [--reject ADDR]...
#   PORT offers AUTH LOGIN/PLAIN but does not need it; --auth-port P answers 530 until AUTH.
#   Users: DIR/users, "name:password" lines (test:secret and other:pass2 at the start; append
#   more at any time). Messages: MAILROOT/<local part>/Maildir/new (MAILROOT default DIR/mail),
#   log DIR/smtp-messages.jsonl. Prints the server pid on the last line. Stop: DIR/stop
# Runs as the system user mail (uid 8), like the Dovecot of pop3-dovecot.sh, so with
# --mailroot POP3DIR/mail a message sent by SMTP can be fetched by POP3.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_root "$@"
DIR=${1:?usage: $0 DIR PORT [--auth-port P] [--mailroot M] [--reject ADDR]...}
PORT=${2:?usage: $0 DIR PORT [--auth-port P] [--mailroot M] [--reject ADDR]...}
shift 2
LISTEN=(--listen "$PORT") EXTRA=() MAILROOT='' WAIT=("$PORT")
while [ $# -gt 0 ]; do
  case $1 in
    --auth-port) LISTEN+=(--listen "$2:auth"); WAIT+=("$2"); shift 2 ;;
    --mailroot) MAILROOT=$2; shift 2 ;;
    --reject) EXTRA+=(--reject "$2"); shift 2 ;;
    *) die "unknown option $1" ;;
  esac
done

require_packages python3-aiosmtpd
$PY -c 'import aiosmtpd' 2>/dev/null || die "$PY cannot import aiosmtpd (python3-aiosmtpd)"
DIR=$(prepare_dir "$DIR")
[ -x "$DIR/stop" ] && "$DIR/stop"
MAILROOT=${MAILROOT:-$DIR/mail}
mkdir -p "$MAILROOT"
MAILROOT=$(cd "$MAILROOT" && pwd)
chown mail:mail "$MAILROOT"
cp "$E2E_SERVERS/smtp_sink.py" "$DIR/smtp_sink.py"     # the mail user may not reach the tree
printf 'test:secret\nother:pass2\n' > "$DIR/users"
: > "$DIR/smtp-messages.jsonl"; : > "$DIR/smtp.log"
chmod 644 "$DIR/smtp_sink.py" "$DIR/users"
chown mail:mail "$DIR/smtp-messages.jsonl" "$DIR/smtp.log"
write_stop "$DIR" "$DIR/smtp.pid"

cd "$DIR"
setpriv --reuid=mail --regid=mail --clear-groups \
  $PY "$DIR/smtp_sink.py" --dir "$DIR" --mailroot "$MAILROOT" "${LISTEN[@]}" ${EXTRA[@]+"${EXTRA[@]}"} \
  </dev/null >>"$DIR/smtp.log" 2>&1 &
echo $! > "$DIR/smtp.pid"
for p in "${WAIT[@]}"; do
  wait_greeting "$p" 220 "$(cat "$DIR/smtp.pid")" ||
    { cat "$DIR/smtp.log" >&2; "$DIR/stop"; die "SMTP server does not greet on port $p"; }
done
cat "$DIR/smtp.pid"
