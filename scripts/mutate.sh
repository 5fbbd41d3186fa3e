#!/usr/bin/env bash
# mutate.sh [--check] [--list] [--full] [MUTATION...]: measures the tests by mutation. Each
# mutation of scripts/mutations.txt is applied alone to a copy of the tree (build/mutate/src,
# built incrementally in build/mutate/build with the sanitizers), the tests listed with it run
# (every unit test with --full), and the tests that caught it are printed; at the end the score.
# --check only tells whether every mutation still applies to the tree (no build); a mutation whose
# text has gone is reported as STALE in every mode. Logs: build/mutate/logs/. See --help.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
case " $* " in
  *" --check "* | *" --list "* | *" -h "* | *" --help "*) ;;
  *) "$root/scripts/setup.sh" all ;;
esac
exec /usr/bin/python3 "$root/scripts/mutate.py" "$@"
