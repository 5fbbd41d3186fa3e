#!/bin/bash
# NNTP test server: INN 2 (Debian package inn2) with all its state in DIR (config, active,
# history, spool, overview, logs, sockets). INN's programs in /usr/lib/news/bin are used as
# installed; they find this private config through the INNCONF environment variable.
# Usage: nntp-inn2.sh DIR PORT [AUTH_PORT]    -> prints innd's pid on the last line
# Stop:  DIR/stop  (ctlinnd shutdown: innd acts on SIGTERM only at its next event, which can
#        be minutes away)
#
# 127.0.0.1:PORT      innd; it has no feed peers, so every client is a reader handed to nnrpd:
#                     read and post without AUTHINFO everywhere except private.* (hidden by
#                     LIST, 480 on GROUP); AUTHINFO USER/PASS adds private.*.
# 127.0.0.1:AUTH_PORT (optional) a standalone nnrpd on the same spool that answers 480 to
#                     everything until AUTHINFO USER/PASS succeeded.
# Users: reader/secret and poster/secret2 (wrong password: 481).
# Groups: local.general, local.test, test.one, test.two (y), test.moderated (m), private.staff.
#   The stock groups are dated 2000-01-01, so NEWGROUPS lists only groups added later.
# Helpers (as root):
#   DIR/newgroup NAME [y|m|n]    add a group while innd runs
#   DIR/inject < article         one article by IHAVE over innd's local socket (no readers.conf);
#                                adds Path, Message-ID, Date when missing; prints the Message-ID
#   DIR/bulk --groups N --articles M [--prefix P] [--body-lines L]
#                                makes the groups P.1..P.N and streams M articles into each one
#                                (MODE STREAM + TAKETHIS over the local socket); see nntp_bulk.py
set -euo pipefail
source "$(dirname "$0")/common.sh"
need_root "$@"
DIR=${1:?usage: $0 DIR PORT [AUTH_PORT]}
PORT=${2:?usage: $0 DIR PORT [AUTH_PORT]}
AUTH_PORT=${3:-}
NB=/usr/lib/news/bin

require_packages inn2 openssl   # openssl: password hashes
DIR=$(prepare_dir "$DIR")
[ -x "$DIR/stop" ] && "$DIR/stop"
export INNCONF=$DIR/etc/inn.conf

# innd acts on SIGTERM only at its next event (its poll() can sleep for minutes): stop it with
# ctlinnd, and connect to wake it up while waiting
STOP_CMD=$(cat <<STOP
n=\$(cat "$DIR/nnrpd.pid" 2>/dev/null) && alive "\$n" && kill "\$n"
if i=\$(cat "$DIR/innd.pid" 2>/dev/null) && alive "\$i"; then
  INNCONF=$DIR/etc/inn.conf $NB/ctlinnd -t 5 shutdown "test done" >/dev/null 2>&1 || kill "\$i"
  for _ in \$(seq 1 100); do
    alive "\$i" || break
    { exec 3<>/dev/tcp/127.0.0.1/$PORT; } 2>/dev/null && exec 3>&-
    sleep 0.05
  done
fi
STOP
) write_stop "$DIR" "$DIR/innd.pid" "$DIR/nnrpd.pid"

rm -rf "$DIR"/{etc,db,spool,run,log,tmp,http}
mkdir -p "$DIR"/{etc,db,run,log,tmp,http} \
         "$DIR"/spool/{articles,overview,incoming/bad,outgoing,archive,innfeed}
cp -a /etc/news/. "$DIR/etc/"

# inn.conf: the package's file with every path moved into DIR
sed -e '/^\(pathhost\|domain\|port\|bindaddress\|bindaddress6\|server\|pathetc\|pathdb\|pathrun\|pathlog\|pathtmp\|pathspool\|patharticles\|pathoverview\|pathincoming\|pathoutgoing\|patharchive\|pathhttp\|pathfilter\|organization\|mta\|nnrpdposthost\|nnrpdpostport\|readerswhenstopped\|logsitename\|docancels\|artcutoff\|nnrpdloadlimit\):/d' \
    /etc/news/inn.conf > "$DIR/etc/inn.conf"
cat >> "$DIR/etc/inn.conf" <<CONF

# --- test instance in $DIR (bindaddress alone: no IPv6 socket)
pathhost:       news.test.invalid
domain:         test.invalid
organization:   "Kestro test news server"
server:         127.0.0.1
port:           $PORT
bindaddress:    127.0.0.1
nnrpdpostport:  $PORT
readerswhenstopped: true
logsitename:    false
docancels:      auth
mta:            "/bin/true %s"
# accept articles of any age (benchmarks inject old ones) and never refuse readers for load
artcutoff:      0
nnrpdloadlimit: 0
pathetc:        $DIR/etc
pathfilter:     $DIR/etc/filter
pathdb:         $DIR/db
pathrun:        $DIR/run
pathlog:        $DIR/log
pathtmp:        $DIR/tmp
pathhttp:       $DIR/http
pathspool:      $DIR/spool
patharticles:   $DIR/spool/articles
pathoverview:   $DIR/spool/overview
pathincoming:   $DIR/spool/incoming
pathoutgoing:   $DIR/spool/outgoing
patharchive:    $DIR/spool/archive
CONF

# no feed peers: every TCP connection goes to nnrpd; inject and bulk use the local socket
: > "$DIR/etc/incoming.conf"
echo 'ME:*::' > "$DIR/etc/newsfeeds"

# reader users for AUTHINFO USER/PASS (crypt(3) hashes, checked by ckpasswd)
{
  echo "reader:$(openssl passwd -6 secret)"
  echo "poster:$(openssl passwd -6 secret2)"
} > "$DIR/etc/newsusers"

cat > "$DIR/etc/readers.conf" <<CONF
auth "local" {
    hosts: "localhost, 127.0.0.1, ::1, stdin"
    auth: "ckpasswd -f $DIR/etc/newsusers"
    default: "<anonymous>"
}
access "anonymous" {
    users: "<anonymous>"
    newsgroups: "*,!private.*"
    access: RP
    addcanlockuser: none
}
access "authenticated" {
    users: "*,!<anonymous>"
    newsgroups: "*"
    access: RPA
    addcanlockuser: none
}
CONF
# no default identity and no access block for it: 480 to everything until AUTHINFO
cat > "$DIR/etc/readers-auth.conf" <<CONF
auth "local" {
    hosts: "localhost, 127.0.0.1, ::1, stdin"
    auth: "ckpasswd -f $DIR/etc/newsusers"
}
access "authenticated" {
    users: "*"
    newsgroups: "*"
    access: RPA
    addcanlockuser: none
}
CONF

cat > "$DIR/db/active" <<ACT
control 0000000000 0000000001 n
control.cancel 0000000000 0000000001 n
control.checkgroups 0000000000 0000000001 n
control.newgroup 0000000000 0000000001 n
control.rmgroup 0000000000 0000000001 n
junk 0000000000 0000000001 n
local.general 0000000000 0000000001 y
local.test 0000000000 0000000001 y
test.one 0000000000 0000000001 y
test.two 0000000000 0000000001 y
test.moderated 0000000000 0000000001 m
private.staff 0000000000 0000000001 y
ACT
awk '{print $1, 946684800, "admin@test.invalid"}' "$DIR/db/active" > "$DIR/db/active.times"
cat > "$DIR/db/newsgroups" <<NG
local.general	Local general discussion.
local.test	Local test postings.
test.one	First test group.
test.two	Second test group.
test.moderated	A moderated group (Moderated)
private.staff	Only for authenticated readers.
NG
echo "test.moderated:moderator@test.invalid" >> "$DIR/etc/moderators"
: > "$DIR/db/history"
chown -R news:news "$DIR/db"
# sized for the benchmarks' 120,000 articles: a full dbz table slows every lookup down
(cd "$DIR/db" && $NB/makedbz -i -f history -s 250000 &&
  for f in history.n.*; do [ -e "$f" ] && mv "$f" "${f/history.n./history.}"; done; true)

cat > "$DIR/newgroup" <<NEWG
#!/bin/bash
# newgroup NAME [y|m|n]: adds a group while innd runs (no error when it exists)
name=\${1:?usage: \$0 NAME [y|m|n]}
grep -q "^\$name " "$DIR/db/active" && exit 0
INNCONF=$DIR/etc/inn.conf exec $NB/ctlinnd -s newgroup "\$name" "\${2:-y}" kestro-e2e
NEWG
sed -e "s|@DIR@|$DIR|" "$E2E_SERVERS/nntp_inject.py" > "$DIR/inject"
printf '#!/bin/bash\nexec %s %s --dir %s "$@"\n' "$PY" "$E2E_SERVERS/nntp_bulk.py" "$DIR" > "$DIR/bulk"
chmod 755 "$DIR/newgroup" "$DIR/inject" "$DIR/bulk"

chown -R news:news "$DIR"/{etc,db,run,log,tmp,http,spool}
chmod 640 "$DIR/etc/newsusers"

# innd as root: binds the port, then runs as news; -f = stay in the foreground
$NB/innd -f </dev/null >>"$DIR/log/innd.stdout" 2>&1 &
echo $! > "$DIR/innd.pid"
for _ in $(seq 1 200); do [ -S "$DIR/run/control" ] && break; sleep 0.025; done
wait_greeting "$PORT" 200 "$(cat "$DIR/innd.pid")" ||
  { cat "$DIR/log/innd.stdout" "$DIR/log/errlog" >&2 2>/dev/null; "$DIR/stop"; die "innd does not greet on $PORT"; }
if [ -n "$AUTH_PORT" ]; then
  setpriv --reuid=news --regid=news --init-groups \
    $NB/nnrpd -D -f -n -b 127.0.0.1 -p "$AUTH_PORT" -c "$DIR/etc/readers-auth.conf" \
    </dev/null >>"$DIR/log/nnrpd.stdout" 2>&1 &
  echo $! > "$DIR/nnrpd.pid"
  wait_greeting "$AUTH_PORT" 20 "$(cat "$DIR/nnrpd.pid")" ||
    { cat "$DIR/log/nnrpd.stdout" >&2; "$DIR/stop"; die "nnrpd does not greet on $AUTH_PORT"; }
fi
cat "$DIR/innd.pid"
