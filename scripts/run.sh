#!/usr/bin/env bash
# run.sh [kestro arguments...]: installs what building and running need (scripts/setup.sh run),
# builds Kestro in Release and runs it with the arguments.
# run.sh --demo: the same build, then a sample exchange against local test servers
# (scripts/demo.py).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
set_name=run
[ "${1:-}" = --demo ] && set_name=demo
"$root/scripts/setup.sh" "$set_name"
"$root/scripts/build.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DKESTRO_TESTS=OFF -DKESTRO_BENCH=OFF
if [ "$set_name" = demo ]; then
  shift
  exec /usr/bin/python3 "$root/scripts/demo.py" --kestro "$root/build/release/bin/kestro" "$@"
fi
exec "$root/build/release/bin/kestro" "$@"
