#!/usr/bin/env bash
# setup.sh [SET]: installs, in one apt-get run, every Debian package that SET needs and that is
# missing. Safe to run again: it does nothing when everything is there. This is the only place
# that installs packages; tests and their server fixtures only check and name what is missing.
#
#   run     building and running Kestro (scripts/run.sh)
#   demo    run, and the local mail and news servers (scripts/run.sh --demo)
#   all     building, running and testing: unit and end-to-end tests with their servers, the
#           virtual display, the format check (default; scripts/test.sh)
#   bench   all, and the peer programs and libraries the benchmarks compare with
#   list    prints the packages of SET (setup.sh list all) and installs nothing
set -euo pipefail

run_packages=(
  build-essential cmake ninja-build ccache pkg-config
  lld
  qt6-base-dev libgl-dev zlib1g-dev libjpeg-dev libgif-dev
  fonts-dejavu-core fonts-liberation
  python3 procps
)
# the servers of the end-to-end tests (tests/e2e/): POP3, NNTP, SMTP (aiosmtpd and Postfix with
# a Dovecot for SASL), time, SOCKS, telnet, the SSL 3.0 peers and their certificates
server_packages=(
  dovecot-core dovecot-pop3d inn2 python3-aiosmtpd postfix xinetd
  dante-server inetutils-telnetd python3-scapy python3-cryptography openssl
)
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  binutils
  libpython3.11-testsuite
  xvfb xauth xdotool vttest trayer openbox x11-utils
)
# the peer programs of bench/peers/, and the peer libraries the side-by-side benchmarks link
# (bench/png, bench/terminal, bench/html); the program itself never links them
bench_packages=(
  suck slrnpull fetchmail getmail6 msmtp time strace valgrind
  libspng-dev libpng-dev libvterm-dev libgumbo-dev
)

packages_of() {
  case $1 in
    run) echo "${run_packages[@]}" ;;
    demo) echo "${run_packages[@]} ${server_packages[@]}" ;;
    all) echo "${run_packages[@]} ${server_packages[@]} ${test_packages[@]}" ;;
    bench) echo "${run_packages[@]} ${server_packages[@]} ${test_packages[@]} ${bench_packages[@]}" ;;
    *) echo "usage: $0 [run|demo|all|bench] | list [run|demo|all|bench]" >&2; return 2 ;;
  esac
}

if [ "${1:-}" = list ]; then
  packages_of "${2:-all}" | tr ' ' '\n'
  exit 0
fi
set_name=${1:-all}
read -r -a packages <<<"$(packages_of "$set_name")"

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
[ ${#missing[@]} -gt 0 ] || exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: installing ${missing[*]} needs root" >&2; exit 1; }
  sudo="sudo"
fi
# Another apt-get or dpkg (an unattended upgrade, a second setup.sh) holds the lock for a while:
# wait for it instead of failing.
apt=($sudo env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -y -q)

# inn2's post-installation step fails on hosts whose name does not resolve to a domain (it asks
# for the domain of /etc/news/inn.conf). The tests' servers never read that file, so a
# placeholder domain is enough. The step also adds a mail alias for the user usenet and runs
# newaliases, which fails while Postfix has no configuration (as installed here): the alias is
# added beforehand, so the step has nothing to do there. Then the interrupted configuration is
# finished.
repair_inn2() {
  [ -e /etc/news/inn.conf ] || return 0
  installed inn2 && return 0
  dpkg-query -W inn2 >/dev/null 2>&1 || return 0
  grep -q '^domain:[[:space:]]*[^[:space:]]' /etc/news/inn.conf ||
    $sudo sed -i 's/^#\?domain:.*/domain:                      localdomain/' /etc/news/inn.conf
  if [ -f /etc/aliases ] && ! grep -q '^usenet:' /etc/aliases; then
    echo "usenet: root" | $sudo tee -a /etc/aliases >/dev/null
  fi
  dpkg_configure || true
}

# dpkg --configure -a; dpkg has no lock time-out of its own, so it waits for the lock here as
# apt-get does (up to 600 s).
dpkg_configure() {
  local n out
  for ((n = 0; n < 300; n++)); do
    out=$($sudo env DEBIAN_FRONTEND=noninteractive dpkg --configure -a 2>&1) && {
      echo "$out"
      return 0
    }
    echo "$out"
    grep -q 'locked by another process' <<<"$out" || return 1
    sleep 2
  done
  return 1
}

log=$(mktemp "${TMPDIR:-/tmp}/kestro-setup.XXXXXX.log")
echo "setup: installing ${missing[*]} (log: $log)"
t0=$(date +%s)
# 'No configuration': Postfix writes no main.cf and starts nothing; the tests run their own.
echo "postfix postfix/main_mailer_type select No configuration" | $sudo debconf-set-selections
# The servers' packages must not start their system daemons (on ports 110, 25, 119, ...): the
# tests start private instances on ports of their own. A policy that says 101 keeps them off
# during the install; it is put in place only when the machine has none.
made_policy=""
if [ ! -e /usr/sbin/policy-rc.d ]; then
  printf '#!/bin/sh\nexit 101\n' | $sudo tee /usr/sbin/policy-rc.d >/dev/null
  $sudo chmod 755 /usr/sbin/policy-rc.d
  made_policy=1
fi
trap '[ -z "$made_policy" ] || $sudo rm -f /usr/sbin/policy-rc.d' EXIT

{
  repair_inn2
  "${apt[@]}" update
  "${apt[@]}" install --no-install-recommends "${missing[@]}" || true
  repair_inn2
} >"$log" 2>&1 </dev/null

still=()
for p in "${missing[@]}"; do installed "$p" || still+=("$p"); done
if [ ${#still[@]} -gt 0 ]; then
  tail -n 30 "$log" >&2
  echo "setup: could not install ${still[*]} (log: $log)" >&2
  exit 1
fi
echo "setup: installed ${#missing[@]} packages in $(($(date +%s) - t0)) s"
