#!/bin/sh
# Runs a GUI test program on a virtual X server (xvfb-run, no window manager) with a tray host,
# trayer, docked at the bottom right: run-tray.sh PROGRAM [ARGS...]
for tool in xvfb-run xauth xdotool trayer; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$0: $tool is missing (Debian packages xvfb, xauth, xdotool, trayer): run scripts/setup.sh" >&2
        exit 1
    fi
done
export QT_QPA_PLATFORM=xcb
# Leaks of the platform's own libraries (see lsan.supp) are not the program's.
export LSAN_OPTIONS="suppressions=$(dirname "$0")/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
unset QT_FONT_DPI QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS
# -noreset keeps the server up between test programs (a reset as the last client leaves can
# refuse the next one). xvfb-run -a looks for a free display from 99 up: two runs started at once both find the
# same one, and the second program then shares the first one's server (and its pointer). The
# search starts at a number of this process's own, which no running process shares.
exec xvfb-run -a -n $((1000 + $$ % 50000)) -s "-screen 0 640x480x24 -noreset" sh -c '
    trayer --edge bottom --align right --widthtype request --height 24 --transparent false \
        --tint 0xc0c0c0 --SetDockType true &
    tray=$!
    "$@"
    status=$?
    kill $tray 2>/dev/null
    exit $status' run-tray "$@"
