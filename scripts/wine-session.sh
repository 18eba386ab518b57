#!/usr/bin/env bash
# wine-session.sh start|stop DIR: a private Wine session for the Windows tests: its own
# prefix and HOME under DIR, a private Xvfb (tests never draw on a real screen, whether or
# not a display is set) and a wineserver kept running between test programs. "start" writes
# DIR/env for wine-run.sh; "stop" ends what "start" began.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
action=$1
source "$here/wine-env.sh" "$2"

stop() {
    if [ -f "$wine_session_dir/env" ]; then
        source "$wine_session_dir/env"
        "$WINESERVER" -k 2>/dev/null || true
        if is_our_xvfb "${KALVO_XVFB_PID:-}"; then kill "$KALVO_XVFB_PID" || true; fi
        rm -f "$wine_session_dir/env"
    fi
}

case $action in
start)
    stop
    start_private_display
    # Recorded at once, so that a failure below still leaves something to stop.
    printf 'export DISPLAY=%q\nexport KALVO_XVFB_PID=%q\n' "$DISPLAY" "$xvfb_pid" \
        >"$wine_session_dir/env"
    trap 'stop' ERR
    # Everything that stays running gets no descriptor of ours: ctest waits for the
    # output of a test to close, and would wait for the session's processes.
    ensure_prefix </dev/null >/dev/null 2>&1
    "$WINESERVER" -p600 </dev/null >/dev/null 2>&1
    "$WINE" wineboot </dev/null >/dev/null 2>&1
    echo "Wine session in $wine_session_dir on display $DISPLAY"
    ;;
stop)
    stop
    ;;
*)
    echo "usage: $0 start|stop DIR" >&2
    exit 2
    ;;
esac
