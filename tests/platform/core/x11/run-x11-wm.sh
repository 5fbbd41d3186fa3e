#!/bin/sh
# Runs a GUI test program like run-x11.sh, with the openbox window manager running on the X
# server: run-x11-wm.sh PROGRAM [ARGS...]
if ! command -v openbox >/dev/null 2>&1; then
    echo "$0: openbox is missing (Debian package openbox): run scripts/setup.sh" >&2
    exit 1
fi
here=$(cd "$(dirname "$0")" && pwd)
exec "$here/run-x11.sh" sh -c '
    waitwm=$1
    shift
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    if ! "$waitwm"; then
        kill "$wm" 2>/dev/null
        exit 1
    fi
    "$@"
    rc=$?
    kill "$wm" 2>/dev/null
    wait "$wm" 2>/dev/null
    exit "$rc"
' run-x11-wm "$here/wait-for-wm.sh" "$@"
