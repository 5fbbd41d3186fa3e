#!/usr/bin/env bash
# test.sh [ctest arguments...]: installs what is missing (scripts/setup.sh, one apt-get run, before
# anything is built), checks the layout of the C++ files and that no include runs up between the
# layers (scripts/check-includes.py), builds everything with the address and
# undefined-behaviour sanitizers and runs every test (unit, end-to-end and fuzz-corpus replays),
# then builds optimised (RelWithDebInfo) and runs the unit tests there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" all
"$root/scripts/format-check.sh"
/usr/bin/python3 "$root/scripts/check-includes.py"
"$root/scripts/build.sh" "$root/build/test" -DCMAKE_BUILD_TYPE=Debug -DKESTRO_SANITIZE=ON -DKESTRO_WERROR=ON
cd "$root/build/test"
export QT_QPA_PLATFORM=offscreen KESTRO_CLOCK=none
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
# The tests on a real X server (label x11) run after the others, one at a time: their input comes
# from xdotool on a clock of its own, and a machine busy with the sanitizer build's other tests can
# starve the program between a press and its moves.
status=0
ctest --output-on-failure -j "$(nproc)" --timeout 600 -LE x11 "$@" || status=$?
ctest --output-on-failure --timeout 600 -L x11 "$@" || status=$?
# The build users run is optimised: the unit tests run there too (without the sanitizers, which
# change timing and inlining); the end-to-end and real-X tests stay with the build above.
"$root/scripts/build.sh" "$root/build/rel" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRO_WERROR=ON \
  -DKESTRO_BENCH=OFF
cd "$root/build/rel"
ctest --output-on-failure -j "$(nproc)" --timeout 600 -L unit "$@" || status=$?
exit "$status"
