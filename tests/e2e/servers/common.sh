# Shared helpers for the test-server scripts in this folder (sourced, not run).
# Every server script: `script.sh DIR PORT [...]` checks that its Debian packages are there
# (scripts/setup.sh installs them), writes a throw-away config into DIR, starts the server on
# 127.0.0.1:PORT only, waits until it accepts connections and prints the pid on the last line of
# stdout. `DIR/stop` stops it.

E2E_SERVERS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# Debian's interpreter: the modules from python3-* packages (aiosmtpd) are not visible to a
# python3 that some other installation (pyenv, venv) puts first on PATH.
PY=/usr/bin/python3

die() { echo "$(basename "$0"): $*" >&2; exit 1; }

# The servers bind their ports as root and then switch to mail, news or dovenull; without root
# none of that works, so rerun through sudo when it does not ask for a password.
need_root() {
  if [ "$(id -u)" = 0 ]; then
    # ps (stop scripts, liveness checks) is not on minimal images
    require_packages procps
    return 0
  fi
  if command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    exec sudo -n "$0" "$@"
  fi
  die "must run as root (or with password-less sudo)"
}

# alive PID: true while PID runs. Not 'kill -0': a zombie that the parent (or a slow init) has
# not reaped yet still passes kill -0 although its sockets are closed.
alive() { local s; s=$(ps -o stat= -p "$1" 2>/dev/null) && [[ $s != Z* ]]; }

# installed PKG...: true when every package is installed and configured.
installed() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || return 1
  done
}

# require_packages PKG...: fails at once, naming every package that is missing. The fixtures
# install nothing: scripts/setup.sh installs all that the tests need in one run, before the
# tests start (fixtures that installed on their own ran apt-get in parallel and failed on its
# lock).
require_packages() {
  local missing=() p
  for p in "$@"; do installed "$p" || missing+=("$p"); done
  [ ${#missing[@]} = 0 ] && return 0
  die "missing Debian package(s): ${missing[*]}; install them with scripts/setup.sh (as root)"
}

# bounded SECONDS WHAT COMMAND...: runs COMMAND in a process group of its own and kills the whole
# group when it takes longer than SECONDS (timeout(1) signals its group): a server that never
# answers, and the script waiting for it, cannot outlast the caller's time-out. Returns 124 then,
# with a line that says what gave up.
bounded() {
  local secs=$1 what=$2 rc=0
  shift 2
  timeout -k 5 "$secs" "$@" || rc=$?
  if [ "$rc" = 124 ] || [ "$rc" = 137 ]; then
    echo "$(basename "$0"): gave up: $what did not end within $secs s" >&2
    return 124
  fi
  return "$rc"
}

# bounded_verbs WHAT START_BOUND STOP_BOUND START STOP VERB [ARGS...]: the command line of a script
# that starts and stops a set of servers with its functions START and STOP. `START ARGS...` reruns
# the script as `_START ARGS...` bounded by START_BOUND seconds, and when that gives up stops what
# had started (`_STOP ARGS[0]`, bounded by STOP_BOUND); `STOP ARGS...` reruns it as `_STOP ARGS...`
# bounded by STOP_BOUND; `_START` and `_STOP` call the functions. Exits with their status; returns
# (0) only for any other VERB, so that the script goes on to print its usage.
bounded_verbs() {
  local what=$1 start_bound=$2 stop_bound=$3 start=$4 stop=$5 verb=${6:-} rc=0
  shift $(( $# < 6 ? $# : 6 ))
  case $verb in
    "$start")
      bounded "$start_bound" "starting $what" "$0" "_$start" "$@" || rc=$?
      if [ "$rc" = 124 ]; then
        bounded "$stop_bound" "stopping $what" "$0" "_$stop" "${1:?}" >&2 || true
      fi
      exit "$rc"
      ;;
    "$stop")
      bounded "$stop_bound" "stopping $what" "$0" "_$stop" "$@" || rc=$?
      exit "$rc"
      ;;
    "_$start") "$start" "$@"; exit ;;
    "_$stop") "$stop" "$@"; exit ;;
  esac
  return 0
}

# prepare_dir DIR: creates DIR (mode 755) and prints its absolute path. The servers switch to
# unprivileged users, so every directory above DIR must be searchable by others (mktemp -d
# makes 0700 directories).
prepare_dir() {
  local d p
  mkdir -p "$1" && d=$(cd "$1" && pwd) && chmod 755 "$d" || die "cannot create $1"
  p=$d
  while [ "$p" != / ]; do
    p=$(dirname "$p")
    [ $(( 0$(stat -c %a "$p") & 1 )) = 1 ] ||
      die "$p is not searchable by others (mode $(stat -c %a "$p")); chmod o+x it or use another DIR"
  done
  echo "$d"
}

# port_free PORT: true when nothing accepts TCP connections on 127.0.0.1:PORT.
port_free() { ! (exec 3<>/dev/tcp/127.0.0.1/"$1") 2>/dev/null; }

# wait_greeting PORT PREFIX PID [SECONDS]: waits until a TCP client on PORT reads a first line
# that starts with PREFIX (or, with an empty PREFIX, until the port accepts). Fails when PID dies
# or after SECONDS (default 15).
wait_greeting() {
  local port=$1 prefix=$2 pid=$3 secs=${4:-15} line end
  end=$(( $(date +%s%N) + secs * 1000000000 ))
  while [ "$(date +%s%N)" -lt "$end" ]; do
    if [ -z "$prefix" ]; then
      (exec 3<>/dev/tcp/127.0.0.1/"$port") 2>/dev/null && return 0
    elif { exec 3<>/dev/tcp/127.0.0.1/"$port"; } 2>/dev/null; then
      if read -r -t 5 line <&3 && [[ $line == "$prefix"* ]]; then exec 3>&-; return 0; fi
      exec 3>&-
    fi
    alive "$pid" || return 1
    sleep 0.05
  done
  return 1
}

# write_stop DIR PIDFILE...: writes DIR/stop, which stops the processes in the PIDFILEs with
# SIGTERM and waits for them (SIGKILL after 5 s), then ends what they had forked and left
# running: Dovecot's master, for one, exits while a login process still serves a client.
# Exit 0 also when nothing was running. STOP_CMD, when set, replaces the SIGTERM (innd).
write_stop() {
  local dir=$1; shift
  {
    echo '#!/bin/bash'
    echo "# stops the server of $dir and every process it forked"
    echo "set -- $(printf '%q ' "$@")"
    cat <<'STOP'
alive() { local s; s=$(ps -o stat= -p "$1" 2>/dev/null) && [[ $s != Z* ]]; }
tree() { local c; for c in $(ps -o pid= --ppid "$1" 2>/dev/null); do echo "$c"; tree "$c"; done; }
# wait_gone SECONDS PID...: true when all are gone in time
wait_gone() {
  local n=$(( $1 * 20 )) p left; shift
  while [ "$n" -gt 0 ]; do
    left=''; for p in "$@"; do alive "$p" && left=1; done
    [ -z "$left" ] && return 0
    sleep 0.05; n=$((n - 1))
  done
  return 1
}
pids=() kids=()
for f in "$@"; do
  p=$(cat "$f" 2>/dev/null) || continue
  alive "$p" || continue
  pids+=("$p"); kids+=($(tree "$p"))
done
[ ${#pids[@]} = 0 ] && exit 0
STOP
    if [ -n "${STOP_CMD:-}" ]; then echo "$STOP_CMD"; else echo 'kill "${pids[@]}" 2>/dev/null'; fi
    cat <<'STOP'
wait_gone 5 "${pids[@]}" || kill -9 "${pids[@]}" 2>/dev/null
[ ${#kids[@]} = 0 ] && exit 0
for k in "${kids[@]}"; do alive "$k" && kill "$k" 2>/dev/null; done
wait_gone 2 "${kids[@]}" || kill -9 "${kids[@]}" 2>/dev/null
exit 0
STOP
  } > "$dir/stop.tmp"
  chmod 755 "$dir/stop.tmp"
  mv "$dir/stop.tmp" "$dir/stop"
}
