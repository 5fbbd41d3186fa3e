#!/bin/sh
# Runs a GUI test program like run-x11.sh, with the openbox window manager running on the X
# server: run-x11-wm.sh PROGRAM [ARGS...]
for tool in openbox xprop; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$0: $tool is missing (Debian packages openbox, x11-utils): run scripts/setup.sh" >&2
        exit 1
    fi
done
here=$(dirname "$0")
exec "$here/run-x11.sh" sh -c '
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    # The window manager is there once it announced itself on the root window (10 s at most).
    tries=0
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
        tries=$((tries + 1))
        if [ "$tries" -gt 100 ]; then
            echo "run-x11-wm.sh: openbox did not start" >&2
            kill "$wm" 2>/dev/null
            exit 1
        fi
        sleep 0.1
    done
    "$@"
    rc=$?
    kill "$wm" 2>/dev/null
    wait "$wm" 2>/dev/null
    exit "$rc"
' run-x11-wm "$@"
