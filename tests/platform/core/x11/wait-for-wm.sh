#!/bin/sh
# Waits until the window manager of the display (openbox) manages windows: 10 s at most, exit 1
# when it does not. Its mark on the root window (_NET_SUPPORTING_WM_CHECK) comes before it takes
# the windows mapped meanwhile: a window mapped in between was seen never to be framed nor shown.
# So a probe window is mapped, and the manager is there once it lists the probe as its client
# (an empty list reads "window id # ", a window in it "0x...").
for tool in xprop xmessage; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$0: $tool is missing (Debian package x11-utils): run scripts/setup.sh" >&2
        exit 1
    fi
done
tries=0
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ]; then
        echo "wait-for-wm.sh: no window manager announced itself" >&2
        exit 1
    fi
    sleep 0.1
done
xmessage -name kestro-wm-probe -geometry +0+0 probe >/dev/null 2>&1 &
probe=$!
tries=0
until xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -q "# 0x"; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ]; then
        echo "wait-for-wm.sh: the window manager did not take a window" >&2
        kill "$probe" 2>/dev/null
        exit 1
    fi
    sleep 0.1
done
kill "$probe" 2>/dev/null
wait "$probe" 2>/dev/null
# Gone from the manager's list too, so that the caller's windows are the only ones there.
tries=0
while xprop -root _NET_CLIENT_LIST 2>/dev/null | grep -q "# 0x" && [ "$tries" -lt 100 ]; do
    tries=$((tries + 1))
    sleep 0.1
done
exit 0
