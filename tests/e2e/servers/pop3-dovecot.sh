#!/bin/bash
# POP3 test server: Dovecot (Debian package dovecot-pop3d) with a config of its own in DIR.
# Usage: pop3-dovecot.sh DIR PORT        -> prints the dovecot master pid on the last line
# Stop:  DIR/stop
# Users (plain passwords, so APOP works): test/secret and other/pass2. More: DIR/adduser NAME PASS
#   (the passwd-file is read again when it changes, so this works while the server runs).
# Mailboxes: DIR/mail/<user>/Maildir (new/ cur/ tmp/), owned by the system user mail (uid 8):
#   Dovecot refuses uid 0 for mail access. Drop a message with  DIR/drop USER [FILE...]
#   (stdin when no FILE; bytes are kept as they are; CRLF or LF).
# Listens on 127.0.0.1:PORT only: USER/PASS and APOP without TLS. Dovecot has no LAST command.
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_root "$@"
DIR=${1:?usage: $0 DIR PORT}
PORT=${2:?usage: $0 DIR PORT}

require_packages dovecot-pop3d
DIR=$(prepare_dir "$DIR")
[ -x "$DIR/stop" ] && "$DIR/stop"
rm -rf "$DIR/run" "$DIR/state"
mkdir -p "$DIR"/{run,state,mail}
chmod 755 "$DIR/run"    # login processes run as dovenull and must reach DIR/run/login/

cat > "$DIR/adduser" <<ADD
#!/bin/bash
# adduser NAME PASSWORD: a POP3 user with a Maildir (a known user gets the new password)
set -euo pipefail
name=\${1:?usage: \$0 NAME PASSWORD}; pass=\${2:?usage: \$0 NAME PASSWORD}
[[ \$name =~ ^[A-Za-z0-9._-]+\$ && \$pass != *:* ]] || { echo "adduser: bad name or password" >&2; exit 1; }
install -d -o mail -g mail -m 755 "$DIR/mail/\$name" "$DIR/mail/\$name/Maildir" \\
  "$DIR/mail/\$name/Maildir/new" "$DIR/mail/\$name/Maildir/cur" "$DIR/mail/\$name/Maildir/tmp"
# a known user gets the new password (Dovecot reads the file again when it changes); tests
# running in parallel may add users at the same moment
exec 9>"$DIR/users.lock"; flock 9
{ grep -v "^\$name:" "$DIR/users" 2>/dev/null || true; echo "\$name:{PLAIN}\$pass::::$DIR/mail/\$name"; } > "$DIR/users.new"
mv "$DIR/users.new" "$DIR/users"
exec 9>&-
[ -z "\${ADDUSER_NO_WAIT:-}" ] || exit 0     # the server is not running yet
# Dovecot looks at the file at most once a second, and sees a change only by its mtime
# (seconds) or size: wait for the next second and stamp the file with it, so that the next
# login sees the user
t=\$(date +%s); while [ "\$(date +%s)" = "\$t" ]; do sleep 0.02; done
touch "$DIR/users"
ADD
cat > "$DIR/drop" <<'DROP'
#!/usr/bin/python3
"""drop USER [FILE...]: delivers each FILE (stdin when none) unchanged into USER's Maildir/new,
through tmp/ and a rename as Maildir wants, readable by the mail user. Prints the file names."""
import os, pwd, socket, sys, time
root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "mail")
if len(sys.argv) < 2:
    sys.exit("usage: drop USER [FILE...]")
md = os.path.join(root, sys.argv[1], "Maildir")
if not os.path.isdir(os.path.join(md, "new")):
    sys.exit("drop: no Maildir for user %s (DIR/adduser makes one)" % sys.argv[1])
mail = pwd.getpwnam("mail")
sources = sys.argv[2:] or ["-"]
for n, src in enumerate(sources):
    data = sys.stdin.buffer.read() if src == "-" else open(src, "rb").read()
    name = "%d.M%dP%dQ%d.%s" % (time.time(), time.time_ns() % 1000000, os.getpid(), n,
                                socket.gethostname())
    tmp = os.path.join(md, "tmp", name)
    with open(tmp, "wb") as f:
        f.write(data)
    os.chmod(tmp, 0o644)
    if os.geteuid() == 0:
        os.chown(tmp, mail.pw_uid, mail.pw_gid)
    os.rename(tmp, os.path.join(md, "new", name))
    print(os.path.join(md, "new", name))
DROP
chmod 755 "$DIR/adduser" "$DIR/drop"
: > "$DIR/users"
chown mail:mail "$DIR/mail"
ADDUSER_NO_WAIT=1 "$DIR/adduser" test secret
ADDUSER_NO_WAIT=1 "$DIR/adduser" other pass2

cat > "$DIR/dovecot.conf" <<CONF
# throw-away test config; nothing from /etc/dovecot is read
base_dir = $DIR/run
state_dir = $DIR/state
instance_name = kestro-e2e-$PORT
log_path = $DIR/dovecot.log
info_log_path = $DIR/dovecot.log
protocols = pop3
listen = 127.0.0.1
ssl = no
disable_plaintext_auth = no
# APOP needs the plain password, hence the {PLAIN} passwd-file
auth_mechanisms = plain apop
auth_verbose = yes
# answer a failed login at once (default: 2 s)
auth_failure_delay = 0
# mail is read as the system user mail (uid 8): Dovecot refuses uid 0
first_valid_uid = 8
first_valid_gid = 8
mail_location = maildir:~/Maildir
pop3_uidl_format = %08Xu%08Xv
passdb {
  driver = passwd-file
  args = scheme=PLAIN username_format=%u $DIR/users
}
userdb {
  driver = static
  args = uid=mail gid=mail home=$DIR/mail/%u
}
service pop3-login {
  inet_listener pop3 {
    address = 127.0.0.1
    port = $PORT
  }
  inet_listener pop3s {
    port = 0
  }
}
service imap-login {
  inet_listener imap {
    port = 0
  }
  inet_listener imaps {
    port = 0
  }
}
CONF

write_stop "$DIR" "$DIR/dovecot.pid"

: > "$DIR/dovecot.log"
rm -f "$DIR/dovecot.pid"
dovecot -c "$DIR/dovecot.conf" </dev/null >>"$DIR/dovecot.log" 2>&1 || { cat "$DIR/dovecot.log" >&2; exit 1; }
for _ in $(seq 1 200); do
  [ -s "$DIR/run/master.pid" ] && [ -S "$DIR/run/anvil-auth-penalty" ] && break
  sleep 0.025
done
[ -s "$DIR/run/master.pid" ] || { cat "$DIR/dovecot.log" >&2; die "dovecot did not start"; }
cp "$DIR/run/master.pid" "$DIR/dovecot.pid"
# After a failed login, anvil delays the NEXT login from the same IP by up to 15 s, even a
# correct one; 2.3 has no setting for it. Without its socket the auth process skips the penalty
# (the log then shows one "net_connect_unix(anvil-auth-penalty) failed" line).
rm -f "$DIR/run/anvil-auth-penalty"
# the auth process starts on first use: wait for a real greeting
wait_greeting "$PORT" "+OK" "$(cat "$DIR/dovecot.pid")" ||
  { cat "$DIR/dovecot.log" >&2; "$DIR/stop"; die "dovecot does not greet on port $PORT"; }
cat "$DIR/dovecot.pid"
