#!/usr/bin/env bash
# run.sh [kestro arguments...]: installs what is missing, builds Kestro and runs it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DKESTRO_TESTS=OFF -DKESTRO_BENCH=OFF
exec "$root/build/release/bin/kestro" "$@"
