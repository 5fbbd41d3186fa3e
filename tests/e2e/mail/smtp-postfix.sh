#!/bin/bash
# SMTP test server for the mail tests: Postfix with AUTH LOGIN, the authentication answered by a
# Dovecot instance of its own that does nothing but SASL. Everything lives in DIR; nothing in
# /etc/postfix or /etc/dovecot is read or written (the package's install only adds the postfix
# user and /etc/postfix/master.cf, which is read as the template of the services).
#
# Usage: smtp-postfix.sh DIR PORT MAILROOT USER:PASS...   -> prints the Postfix master pid
# Stop:  DIR/stop
#
# Listens on 127.0.0.1:PORT. AUTH LOGIN and PLAIN without TLS, for the USER:PASS pairs given.
# Mail to <user>@example.org for those users goes by virtual(8) into MAILROOT/<user>/Maildir/
# as uid 8 (mail), where the harness's Dovecot serves it; any other recipient gets 550.
# Installing postfix replaces exim4 (both provide mail-transport-agent; inn2 is content with
# either).
set -euo pipefail
source "$(dirname "$0")/../servers/common.sh"
need_root "$@"
DIR=${1:?usage: $0 DIR PORT MAILROOT USER:PASS...}
PORT=${2:?usage: $0 DIR PORT MAILROOT USER:PASS...}
MAILROOT=${3:?usage: $0 DIR PORT MAILROOT USER:PASS...}
shift 3

require_packages postfix dovecot-core

DIR=$(prepare_dir "$DIR")
[ -x "$DIR/stop" ] && "$DIR/stop"
rm -rf "$DIR/queue" "$DIR/data" "$DIR/sasl"
mkdir -p "$DIR/conf" "$DIR/queue" "$DIR/data" "$DIR/sasl/run" "$DIR/sasl/state"
chown postfix:postfix "$DIR/data"
chmod 755 "$DIR/sasl" "$DIR/sasl/run"

: > "$DIR/sasl/users"
: > "$DIR/conf/vmailbox"
for pair in "$@"; do
  user=${pair%%:*}; pass=${pair#*:}
  [[ $user =~ ^[A-Za-z0-9._-]+$ ]] || die "bad user name $user"
  echo "$user:{PLAIN}$pass" >> "$DIR/sasl/users"
  echo "$user@example.org $user/Maildir/" >> "$DIR/conf/vmailbox"
done

cat > "$DIR/sasl/dovecot.conf" <<EOF
# SASL only: Postfix asks this instance whether a login is right
base_dir = $DIR/sasl/run
state_dir = $DIR/sasl/state
instance_name = kestro-postfix-sasl-$PORT
log_path = $DIR/sasl/dovecot.log
protocols = none
ssl = no
disable_plaintext_auth = no
auth_mechanisms = plain login
auth_failure_delay = 0
passdb {
  driver = passwd-file
  args = scheme=PLAIN username_format=%u $DIR/sasl/users
}
userdb {
  driver = static
  args = uid=mail gid=mail home=/nonexistent
}
service auth {
  unix_listener $DIR/sasl/auth {
    mode = 0666
  }
}
EOF

cat > "$DIR/conf/main.cf" <<EOF
compatibility_level = 3.6
queue_directory = $DIR/queue
data_directory = $DIR/data
meta_directory = /etc/postfix
mail_owner = postfix
setgid_group = postdrop
myhostname = localhost.localdomain
mydomain = localdomain
myorigin = localhost
mydestination =
inet_interfaces = 127.0.0.1
inet_protocols = ipv4
mynetworks = 127.0.0.0/8
relayhost =
# never relay, never try to send anything off this machine
smtpd_relay_restrictions = permit_sasl_authenticated, reject_unauth_destination
default_transport = error:outbound mail disabled in tests
relay_transport = error:outbound mail disabled in tests
smtpd_recipient_restrictions = reject_unlisted_recipient
smtpd_banner = \$myhostname ESMTP test
smtpd_sasl_auth_enable = yes
smtpd_sasl_type = dovecot
smtpd_sasl_path = $DIR/sasl/auth
smtpd_sasl_security_options = noanonymous
smtpd_tls_auth_only = no
virtual_mailbox_domains = example.org
virtual_mailbox_base = $MAILROOT
virtual_mailbox_maps = texthash:$DIR/conf/vmailbox
virtual_uid_maps = static:8
virtual_gid_maps = static:8
virtual_minimum_uid = 8
alias_maps =
alias_database =
local_recipient_maps =
smtputf8_enable = no
biff = no
maillog_file = $DIR/maillog
maillog_file_prefixes = $DIR
disable_dns_lookups = yes
smtp_dns_support_level = disabled
EOF

# master.cf: the package's services, without chroot, SMTP on 127.0.0.1:PORT only
{
  echo "127.0.0.1:$PORT inet n - n - - smtpd"
  awk '/^#/ || /^[ \t]*$/ {next}
       /^[ \t]/ {if (keep) print; next}
       {keep = ($1 != "smtp" || $2 != "inet"); if (keep) {$5 = "n"; print}}' /etc/postfix/master.cf
} > "$DIR/conf/master.cf"

cat > "$DIR/stop" <<STOP
#!/bin/bash
# stops this DIR's Postfix and its SASL Dovecot
postfix -c "$DIR/conf" stop >/dev/null 2>&1 || true
for f in "$DIR/postfix.pid" "$DIR/sasl/dovecot.pid"; do
  pid=\$(cat "\$f" 2>/dev/null) || continue
  alive() { local s; s=\$(ps -o stat= -p "\$pid" 2>/dev/null) && [[ \$s != Z* ]]; }
  alive || continue
  kill "\$pid" 2>/dev/null
  for _ in \$(seq 1 100); do alive || break; sleep 0.05; done
  alive && kill -9 "\$pid" 2>/dev/null
done
exit 0
STOP
chmod 755 "$DIR/stop"

dovecot -c "$DIR/sasl/dovecot.conf" </dev/null >>"$DIR/sasl/dovecot.log" 2>&1 ||
  { cat "$DIR/sasl/dovecot.log" >&2; die "the SASL Dovecot did not start"; }
# Dovecot makes its socket and writes its pid file one after the other: wait for both.
for _ in $(seq 1 200); do
  [ -S "$DIR/sasl/auth" ] && [ -s "$DIR/sasl/run/master.pid" ] && break
  sleep 0.05
done
[ -S "$DIR/sasl/auth" ] && [ -s "$DIR/sasl/run/master.pid" ] ||
  { cat "$DIR/sasl/dovecot.log" >&2; "$DIR/stop"; die "no SASL socket or pid"; }
cp "$DIR/sasl/run/master.pid" "$DIR/sasl/dovecot.pid"

postfix -c "$DIR/conf" set-permissions >/dev/null 2>&1 || true
postfix -c "$DIR/conf" check
postfix -c "$DIR/conf" start >/dev/null 2>&1 || { tail -n 20 "$DIR/maillog" >&2; die "postfix did not start"; }
for _ in $(seq 1 200); do
  [ -s "$DIR/queue/pid/master.pid" ] && break
  sleep 0.05
done
[ -s "$DIR/queue/pid/master.pid" ] || { tail -n 20 "$DIR/maillog" >&2; "$DIR/stop"; die "no postfix pid"; }
tr -d ' ' < "$DIR/queue/pid/master.pid" > "$DIR/postfix.pid"
wait_greeting "$PORT" 220 "$(cat "$DIR/postfix.pid")" ||
  { tail -n 20 "$DIR/maillog" >&2; "$DIR/stop"; die "postfix does not greet on port $PORT"; }
cat "$DIR/postfix.pid"
